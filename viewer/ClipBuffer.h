// The text sink of a copy: it keeps the selected text as SelTextBuf does and, once the document's walk over the
// selection is over, hands it to the clipboard data being assembled, where it sits beside the HTML fragment.
#pragma once

#include "layout/TextSinks.h"

class QMimeData;

namespace lantern {

class ThtDocument;

class ClipBuffer : public SelTextBuf {
public:
    // Data is borrowed and must outlive the sink.
    ClipBuffer(int capacity, QMimeData& data) : SelTextBuf(capacity), data_(data) {}
    // Puts the text on Data as plain text; the count with its terminating 0, as SelTextBuf gives it.
    int CloseText() override;

    // Walks the document's selection into a sink of Capacity units and closes it.
    static void CopySelection(ThtDocument& document, int capacity, QMimeData& data);

private:
    QMimeData& data_;
};

} // namespace lantern
