// What each INPUT type, SELECT and TEXTAREA becomes, and how it takes its place in the text.
#include "layout/Document.h"
#include "layout/FormControls.h"
#include "layout/Forms.h"
#include "layout/ImageObj.h"
#include "layout/TextSection.h"
#include "markup/Attributes.h"
#include "style/Properties.h"

namespace lantern {

namespace {

enum class TInputKind : std::uint8_t { Edit, Password, File, Hidden, Submit, Reset, Button, Image, CheckBox, Radio };

// Any type not listed here is an edit field, as a newer type (date, email ...) reads best as text.
TInputKind InputKindOf(const TAttributeList& attributes)
{
    const TAttribute* type = attributes.Find(symType);
    if (!type)
        return TInputKind::Edit;
    struct TRow {
        u16v Name;
        TInputKind Kind;
    };
    static constexpr TRow Rows[] = {
        {u"password", TInputKind::Password}, {u"file", TInputKind::File},       {u"hidden", TInputKind::Hidden},
        {u"submit", TInputKind::Submit},     {u"reset", TInputKind::Reset},     {u"button", TInputKind::Button},
        {u"image", TInputKind::Image},       {u"checkbox", TInputKind::CheckBox}, {u"radio", TInputKind::Radio},
    };
    const u16 name = LowerAscii(Trim(type->Value));
    for (const TRow& row : Rows)
        if (row.Name == name)
            return row.Kind;
    return TInputKind::Edit;
}

template <class Control>
Control& Adopt(ThtDocument& document, std::unique_ptr<Control> control)
{
    Control& adopted = *control;
    adopted.OwnerForm().AddControl(adopted);
    document.FormControls.push_back(std::move(control));
    return adopted;
}

template <class Control, class... Args>
Control& Make(ThtDocument& document, ThtmlForm* form, TProperties& properties, const TAttributeList& attributes,
              Args&&... args)
{
    return Adopt(document, std::make_unique<Control>(document, form, attributes, properties,
                                                     std::forward<Args>(args)...));
}

// A file field and its browse button never part at a line end.
TFormControlObj& PlaceFileField(TSection& section, ThtDocument& document, ThtmlForm* form, TProperties& properties,
                                int position, const TAttributeList& attributes)
{
    auto& edit = Make<TEditFormControlObj>(document, form, properties, attributes, false);
    const bool noBreak = document.NoBreak;
    document.NoBreak = true;
    section.PlaceControl(edit, position);
    auto& browse = Make<TButtonFormControlObj>(document, &edit.OwnerForm(), properties, attributes,
                                               TButtonFormControlObj::TKind::Browse);
    browse.LinkedEdit = &edit;
    edit.Value.clear();
    edit.PlatformControl()->SetText(u"");
    section.PlaceControl(browse, position);
    document.NoBreak = noBreak;
    return edit;
}

// placed: the control took its place in the text already, or takes none.
TFormControlObj& MakeInput(TSection& section, ThtDocument& document, ThtmlForm* form, TProperties& properties,
                           int position, const TAttributeList& attributes, bool& placed)
{
    placed = false;
    using TKind = TButtonFormControlObj::TKind;
    switch (InputKindOf(attributes)) {
    case TInputKind::Edit: return Make<TEditFormControlObj>(document, form, properties, attributes, false);
    case TInputKind::Password: return Make<TEditFormControlObj>(document, form, properties, attributes, true);
    case TInputKind::Hidden:
        placed = true;
        return Make<THiddenFormControlObj>(document, form, properties, attributes);
    case TInputKind::Submit: return Make<TButtonFormControlObj>(document, form, properties, attributes, TKind::Submit);
    case TInputKind::Reset: return Make<TButtonFormControlObj>(document, form, properties, attributes, TKind::Reset);
    case TInputKind::Button: return Make<TButtonFormControlObj>(document, form, properties, attributes, TKind::Plain);
    case TInputKind::CheckBox: return Make<TCheckBoxFormControlObj>(document, form, properties, attributes);
    case TInputKind::Radio: return Make<TRadioButtonFormControlObj>(document, form, properties, attributes);
    case TInputKind::File:
        placed = true;
        return PlaceFileField(section, document, form, properties, position, attributes);
    case TInputKind::Image: {
        auto& control = Make<TImageFormControlObj>(document, form, properties, attributes);
        auto image = std::make_unique<TImageObj>(document, attributes);
        image->SetFromProperties(properties);
        image->FormControl = &control;
        control.Image = image.get();
        section.PlaceObject(std::move(image), position);
        placed = true;
        return control;
    }
    }
    return Make<TEditFormControlObj>(document, form, properties, attributes, false);
}

} // namespace

TFormControlObj& PlaceFormControl(TSection& section, THtmlSymbol symbol, ThtDocument& document, ThtmlForm* form,
                                  TProperties& properties, int position, const TAttributeList& attributes)
{
    TFormControlObj* control = nullptr;
    bool placed = false;
    if (symbol == symSelect) {
        const TAttribute* size = attributes.Find(symSize);
        if (attributes.Find(symMultiple) || (size && size->IntValue > 1))
            control = &Make<TListBoxFormControlObj>(document, form, properties, attributes);
        else
            control = &Make<TComboFormControlObj>(document, form, properties, attributes);
    } else if (symbol == symTextarea) {
        control = &Make<TTextAreaFormControlObj>(document, form, properties, attributes);
    } else {
        control = &MakeInput(section, document, form, properties, position, attributes, placed);
    }
    if (!placed)
        section.PlaceControl(*control, position);
    if (properties.HasAnyBorderStyle())
        OpenInlineBorder(document, position, properties);
    return *control;
}

} // namespace lantern
