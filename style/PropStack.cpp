#include "markup/Buffer.h"
#include "markup/CodePages.h"
#include "style/Fonts.h"
#include "style/Properties.h"

namespace lantern {

TPropStack::~TPropStack() = default;

TProperties& TPropStack::Add(std::unique_ptr<TProperties> set)
{
    items_.push_back(std::move(set));
    return *items_.back();
}

TProperties& TPropStack::Insert(int index, std::unique_ptr<TProperties> set)
{
    return **items_.insert(items_.begin() + index, std::move(set));
}

void TPropStack::Delete(int index) { items_.erase(items_.begin() + index); }

void TPropStack::Clear() { items_.clear(); }

TProperties& THtmlPropStack::PushElement(u16v tag, u16v classes, std::unique_ptr<TProperties> styleAttr, u16v title,
                                         u16v pseudo, u16v id)
{
    auto set = std::make_unique<TProperties>(this, Quirks);
    set->InheritFrom(tag, TopProperties());
    set->PropStyle = std::move(styleAttr);
    TProperties& added = Add(std::move(set));
    if (Cascade)
        Cascade->ComputeElementStyle(added, tag, Count() - 2, added.PropStyle.get(), title, pseudo, id, classes);
    return added;
}

void THtmlPropStack::PopLast()
{
    if (Count() >= 2) Delete(Count() - 1);
}

void THtmlPropStack::PopElement(u16v tag)
{
    int index = Count() - 1;
    while (index >= 1 && Get(index).PropTag != tag) --index;
    if (index < 1) return;
    TProperties& closing = Get(index);
    if (closing.HasVisibleBorder() && CloseInlineBorder) CloseInlineBorder(closing, SourcePos);
    const bool wasTop = index == Count() - 1;
    Delete(index);
    // Elements left open above it were closed out of order: they now hang from the set below them.
    if (!wasTop && index >= 2)
        for (int i = index; i < Count(); ++i) Get(i).Reinherit(Get(i - 1), Cascade, i);
}

bool THtmlPropStack::SwitchCharset(u16v name, TBuffer& buffer)
{
    const TBuffCharSetCodePageInfo* row = FindCharSetInfo(name);
    if (!row) return false;
    TProperties& top = TopProperties();
    const int cp = row->CodePage;
    if (cp == CP_UTF8 || cp == PseudoCpUtf16Le || cp == PseudoCpUtf16Be) top.SetCodePage(cp);
    else top.SetCharset(row->CharSet);
    buffer.SetCharSet(top.Charset);
    buffer.SetCodePage(top.CodePage);
    return true;
}

} // namespace lantern
