// A FORM of the page (ThtmlForm): its attributes and its controls in document order, with what the form does as
// a whole: radio groups, reset, collecting and submitting values. TFormHost carries the events forms and
// controls raise to the viewer.
//
// Ownership: the document owns its forms and all controls; a form only lists its controls.
#pragma once

#include "common/Str.h"
#include "markup/Symbols.h"

#include <functional>
#include <optional>
#include <vector>

namespace lantern {

namespace platform {
class Canvas;
} // namespace platform

class TAttributeList;
class TFormControlObj;
class TRadioButtonFormControlObj;
class ThtDocument;

// The viewer's handlers; each may be empty, and an event is raised only when its handler is set.
struct TFormHost {
    std::function<void(const u16& action, const u16& target, const u16& encType, const u16& method,
                       const std::vector<u16>& results)>
        OnFormSubmit;
    std::function<void(TFormControlObj& control, const u16& onClick)> OnObjectClick;
    std::function<void(TFormControlObj& control, const u16& attribute)> OnObjectFocus;
    std::function<void(TFormControlObj& control, const u16& attribute)> OnObjectBlur;
    std::function<void(TFormControlObj& control, const u16& attribute)> OnObjectChange;
    std::function<void(TFormControlObj& control, u16& fileName)> OnFileBrowse;
    // A control took the focus: the viewer scrolls it into view.
    std::function<void(TFormControlObj& control)> ControlEntered;
    // Keys the controls leave to the viewer's own key handling.
    std::function<void(int key)> ViewerKey;
    // The surface must be repainted (the focus moved).
    std::function<void()> Invalidate;
};

class ThtmlForm {
public:
    // Joins the document's list of forms.
    ThtmlForm(ThtDocument& document, const TAttributeList& attributes);

    void AddControl(TFormControlObj& control);
    // Every other radio of the group loses its check and its tab stop.
    void UncheckGroup(TRadioButtonFormControlObj& radio);
    // Right and Down move the focus to the next radio of the group, Left and Up to the previous; no wrap-around.
    void RadioArrowKey(TRadioButtonFormControlObj& sender, int key);
    void ResetAll();
    // Enter in a single-line edit submits the form; true when the key was used.
    bool EnterSubmits(TFormControlObj& sender, int key);
    std::vector<u16> CollectValues() const;
    // Raises OnFormSubmit with the values of the enabled controls, then the extra pair.
    void Submit(const std::optional<u16>& extra = std::nullopt);
    void MeasureAll(platform::Canvas& canvas);
    // The radios of the form named `name` (case ignored), in form order.
    std::vector<TRadioButtonFormControlObj*> RadioGroup(u16v name) const;

    const std::vector<TFormControlObj*>& Controls() const { return FControls; }
    int VisibleCount() const { return FVisibleCount; }

    u16 Method = u"Get";
    u16 Action;
    u16 Target;
    u16 EncType;

private:
    std::vector<u16> Values(bool skipDisabled) const;

    ThtDocument& Document;
    std::vector<TFormControlObj*> FControls;
    int FVisibleCount = 0;
};

} // namespace lantern

namespace lantern {

class TProperties;
class TSection;

// The control an INPUT, SELECT or TEXTAREA makes, placed in the section's text at `position` (hidden fields take
// no place); form none: the document's implicit form. The document owns it.
TFormControlObj& PlaceFormControl(TSection& section, THtmlSymbol symbol, ThtDocument& document, ThtmlForm* form,
                                  TProperties& properties, int position, const TAttributeList& attributes);

} // namespace lantern
