#include "layout/TextSinks.h"

#include "layout/TextSection.h"

namespace lantern {

void SelTextCount::AppendText(u16v chars)
{
    for (char16_t c : chars)
        if (c != ControlMark && c != ObjectMark)
            ++count_;
}

int SelTextCount::CloseText()
{
    return count_;
}

void SelTextBuf::AppendText(u16v chars)
{
    for (char16_t c : chars) {
        if (c == ControlMark || c == ObjectMark || c == LineBreakMark)
            continue;
        if (static_cast<int>(text_.size()) >= capacity_ - 1)
            return;
        text_ += c;
    }
    count_ = static_cast<int>(text_.size());
}

int SelTextBuf::CloseText()
{
    return count_ + 1;
}

} // namespace lantern
