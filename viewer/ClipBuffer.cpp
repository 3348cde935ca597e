#include "viewer/ClipBuffer.h"

#include "layout/Document.h"

#include <QMimeData>

namespace lantern {

int ClipBuffer::CloseText()
{
    data_.setText(QString::fromStdU16String(Text()));
    return SelTextBuf::CloseText();
}

void ClipBuffer::CopySelection(ThtDocument& document, int capacity, QMimeData& data)
{
    ClipBuffer sink(capacity, data);
    // The document must not keep a sink that is gone, also when the walk fails.
    struct ForgetSink {
        ThtDocument& Document;
        ~ForgetSink() { Document.CurrentSink = nullptr; }
    } forget{document};
    document.CurrentSink = &sink;
    document.CopySelection();
    sink.CloseText();
}

} // namespace lantern
