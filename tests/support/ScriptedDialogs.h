// Answers in place of the windows' modal dialogs, for the tests and the soak.
#pragma once

#include <QColor>
#include <QString>

#include <functional>
#include <optional>

#include "window/Services.h"

namespace testseam {

// Each answer, when set, replaces its dialog; unset, the toolkit's dialog runs.
struct ScriptedDialogs : window::Dialogs {
    std::function<QString(const SaveDialogSettings&)> saveFile;
    std::function<QString(const SaveDialogSettings&)> openFile;
    std::function<std::optional<QColor>(const QColor& initial)> colour;
    std::function<void(const QString&)> error;

    QString SaveFileName(QWidget* parent, const SaveDialogSettings& s) override
    {
        return saveFile ? saveFile(s) : window::Dialogs::SaveFileName(parent, s);
    }
    QString OpenFileName(QWidget* parent, const SaveDialogSettings& s) override
    {
        return openFile ? openFile(s) : window::Dialogs::OpenFileName(parent, s);
    }
    std::optional<QColor> ChooseColour(QWidget* parent, const QColor& initial) override
    {
        return colour ? colour(initial) : window::Dialogs::ChooseColour(parent, initial);
    }
    void ShowError(const QString& message) override
    {
        if (error)
            error(message);
        else
            window::Dialogs::ShowError(message);
    }
};

// The process's scripted dialogs, installed on first use.
inline ScriptedDialogs& Dialogs()
{
    static ScriptedDialogs dialogs;
    static const bool installed = (window::InstallDialogs(&dialogs), true);
    (void)installed;
    return dialogs;
}

} // namespace testseam
