// Where the selected text goes while the document walks its selection: a sink that only counts
// (SelTextCount), one that keeps the text up to a capacity (SelTextBuf); the viewer derives the one that puts it
// on the clipboard from the second.
#pragma once

#include "common/Str.h"

namespace lantern {

class SelTextCount {
public:
    virtual ~SelTextCount() = default;
    // Counts every character but the marks of controls and objects.
    virtual void AppendText(u16v chars);
    // The count (the buffer sinks add one for the terminating 0 they would write).
    virtual int CloseText();
    void AppendTextLine(u16v chars)
    {
        AppendText(chars);
        AppendText(u"\r\n");
    }

protected:
    int count_ = 0;
};

class SelTextBuf : public SelTextCount {
public:
    // Keeps at most capacity - 1 characters, as a buffer of capacity units with its terminating 0 would.
    explicit SelTextBuf(int capacity) : capacity_(capacity) {}
    // Keeps every character but the marks of controls, objects and forced breaks.
    void AppendText(u16v chars) override;
    int CloseText() override;
    const u16& Text() const { return text_; }

protected:
    int capacity_;
    u16 text_;
};

} // namespace lantern
