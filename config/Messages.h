#pragma once

#include <QString>

#include <exception>

// Every message box of the program goes through here, so tests can record and answer
// them without modal dialogs. The application installs the widget implementation.
class Messages
{
public:
    // StandardError is the application's standard error box, for errors that escape a
    // handler; the others are the program's own message boxes.
    enum class Kind
    {
        Plain,
        Error,
        Warning,
        Information,
        Confirmation,
        StandardError
    };

    virtual ~Messages() = default;

    // Returns true when a confirmation was answered Yes (and for every other kind).
    virtual bool show(Kind kind, const QString& text, const QString& caption) = 0;

    static Messages& instance();
    // Installs a service; the caller keeps ownership. nullptr restores the silent default.
    static void install(Messages* service);

    static void error(const QString& text) { instance().show(Kind::Error, text, {}); }
    static void warning(const QString& text) { instance().show(Kind::Warning, text, {}); }
    static void information(const QString& text, const QString& caption = {})
    {
        instance().show(Kind::Information, text, caption);
    }
    static void plain(const QString& text) { instance().show(Kind::Plain, text, {}); }
    static bool confirm(const QString& text) { return instance().show(Kind::Confirmation, text, {}); }
};

// The application's standard error box: the text of an error that escaped a handler.
void showStandardError(const QString& text);
void showStandardError(const std::exception& error);

// Runs an event handler; an exception that escapes it goes to the standard error box.
template <typename Handler> void guarded(Handler&& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        showStandardError(e);
    }
}
