#include "layout/Forms.h"

#include "layout/Document.h"
#include "layout/FormControls.h"
#include "markup/Attributes.h"

#include <algorithm>

namespace lantern {

ThtmlForm::ThtmlForm(ThtDocument& document, const TAttributeList& attributes) : Document(document)
{
    if (const TAttribute* a = attributes.Find(symMethod))
        Method = a->Value;
    if (const TAttribute* a = attributes.Find(symAction))
        Action = a->Value;
    if (const TAttribute* a = attributes.Find(symTarget))
        Target = a->Value;
    if (const TAttribute* a = attributes.Find(symEnctype))
        EncType = a->Value;
}

void ThtmlForm::AddControl(TFormControlObj& control)
{
    FControls.push_back(&control);
    if (!control.IsHiddenField())
        ++FVisibleCount;
}

std::vector<TRadioButtonFormControlObj*> ThtmlForm::RadioGroup(u16v name) const
{
    std::vector<TRadioButtonFormControlObj*> group;
    const u16 key = LowerUnits(name);
    for (TFormControlObj* control : FControls)
        if (auto* radio = dynamic_cast<TRadioButtonFormControlObj*>(control); radio && LowerUnits(radio->Name) == key)
            group.push_back(radio);
    return group;
}

void ThtmlForm::UncheckGroup(TRadioButtonFormControlObj& radio)
{
    for (TRadioButtonFormControlObj* other : RadioGroup(radio.Name))
        if (other != &radio) {
            other->PlatformControl()->SetChecked(false);
            other->PlatformControl()->SetTabStop(false);
        }
}

void ThtmlForm::RadioArrowKey(TRadioButtonFormControlObj& sender, int key)
{
    const std::vector<TRadioButtonFormControlObj*> group = RadioGroup(sender.Name);
    const auto at = std::find(group.begin(), group.end(), &sender);
    if (at == group.end())
        return;
    const bool forward = key == VkRight || key == VkDown;
    if (forward && at + 1 != group.end())
        (*(at + 1))->PlatformControl()->SetFocus();
    else if (!forward && at != group.begin())
        (*(at - 1))->PlatformControl()->SetFocus();
}

void ThtmlForm::ResetAll()
{
    for (TFormControlObj* control : FControls)
        control->RestoreInitial();
}

bool ThtmlForm::EnterSubmits(TFormControlObj& sender, int key)
{
    if (key != VkReturn || !dynamic_cast<TEditFormControlObj*>(&sender))
        return false;
    Submit();
    return true;
}

std::vector<u16> ThtmlForm::Values(bool skipDisabled) const
{
    std::vector<u16> values;
    for (TFormControlObj* control : FControls) {
        if (skipDisabled && control->Disabled)
            continue;
        u16 text;
        for (int i = 0; control->SubmitPair(i, text); ++i)
            if (!text.empty())
                values.push_back(text);
    }
    return values;
}

std::vector<u16> ThtmlForm::CollectValues() const { return Values(false); }

void ThtmlForm::Submit(const std::optional<u16>& extra)
{
    const TFormHost& host = Document.FormHost;
    if (!host.OnFormSubmit)
        return;
    std::vector<u16> values = Values(true);
    if (extra)
        values.push_back(*extra);
    host.OnFormSubmit(Action, Target, EncType, Method, values);
}

void ThtmlForm::MeasureAll(platform::Canvas& canvas)
{
    for (TFormControlObj* control : FControls)
        control->MeasureFor(canvas);
}

} // namespace lantern
