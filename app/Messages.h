// Every message to the user goes through one small interface, so that tests can record the messages
// instead of blocking on modal boxes.
#pragma once

#include <QString>

class QWidget;

namespace lantern {

class TMessages {
public:
    virtual ~TMessages() = default;
    // Error box: title "Error", button "OK".
    virtual void Error(const QString& Text) = 0;
    // Information box: title "关于", button "OK".
    virtual void Information(const QString& Text) = 0;
    // Confirmation box: title "Confirm", buttons "&Yes" and "&No"; true for yes.
    virtual bool Confirm(const QString& Text) = 0;
    // The application's standard box for a failure that reached the window's event handling.
    virtual void Failure(const QString& Text) = 0;
};

// Modal message boxes over a parent window.
class TMessageBoxes final : public TMessages {
public:
    explicit TMessageBoxes(QWidget* Parent) : Parent(Parent) {}
    void Error(const QString& Text) override;
    void Information(const QString& Text) override;
    bool Confirm(const QString& Text) override;
    void Failure(const QString& Text) override;

private:
    QWidget* Parent;
};

} // namespace lantern
