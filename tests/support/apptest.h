#pragma once
// Harnesses for tests of the application: the core with stand-ins for every
// platform service, a simulated monitor behind the ports driven by a manual
// clock, and the real main window on top (offscreen).

#include "core/appcore.h"
#include "base/controlbook.h"
#include "base/clock.h"
#include "testsupport.h"

#include <QSet>
#include <QStringList>
#include <memory>

namespace tvk::sim {
class SimPortFactory;
class MonitorSimulator;
} // namespace tvk::sim

namespace tvk::test {

class RecordingMessages : public UserMessages {
public:
    void message(const QString &text, const QString &title = QString()) override
    {
        messages << text;
        titles << title;
    }
    bool askYesNo(const QString &text, const QString &title = QString()) override
    {
        questions << text;
        Q_UNUSED(title);
        return yesNoAnswer;
    }
    bool askOkCancel(const QString &text, const QString &title = QString()) override
    {
        questions << text;
        Q_UNUSED(title);
        return okCancelAnswer;
    }
    QStringList messages, titles, questions;
    bool yesNoAnswer = true;
    bool okCancelAnswer = true;
};

// Answers file dialogs and the input box from queues the test fills;
// an empty queue answers "cancelled".
class ScriptedDialogs : public FileDialogs, public InputBox {
public:
    std::optional<QString> openFile(const FileDialogOptions &options) override
    {
        openRequests << options;
        return openAnswers.isEmpty() ? std::nullopt : openAnswers.takeFirst();
    }
    std::optional<QString> saveFile(const FileDialogOptions &options) override
    {
        saveRequests << options;
        return saveAnswers.isEmpty() ? std::nullopt : saveAnswers.takeFirst();
    }
    std::optional<QString> getText(const QString &prompt, const QString &title,
                                   const QString &defaultText = QString()) override
    {
        inputPrompts << prompt;
        Q_UNUSED(title);
        Q_UNUSED(defaultText);
        return inputAnswers.isEmpty() ? std::nullopt : inputAnswers.takeFirst();
    }
    QList<FileDialogOptions> openRequests, saveRequests;
    QList<std::optional<QString>> openAnswers, saveAnswers, inputAnswers;
    QStringList inputPrompts;
};

// Records window requests instead of showing anything.
class RecordingWindows : public WindowHost {
public:
    void openWindow(const QString &window) override
    {
        opened << window;
        visible.insert(window);
    }
    void hideWindow(const QString &window) override
    {
        hidden << window;
        visible.remove(window);
    }
    bool isWindowVisible(const QString &window) const override { return visible.contains(window); }
    QStringList opened, hidden;
    QSet<QString> visible;
};

// Everything queued on the link and not yet written, the command waiting for
// its write first.
QString queuedCommands(const AppCore &core);

// The core on scripted ports and a manual clock.
struct CoreHarness {
    CoreHarness();
    ~CoreHarness();
    ManualClock clock;
    ScriptedPortFactory ports;
    RecordingBeeper beeper;
    RecordingMessages messages;
    ScriptedDialogs dialogs;
    RecordingWindows windows;
    std::unique_ptr<AppCore> core;
    // The port the link opened last.
    ScriptedPort *port() const { return ports.last(); }
    // Moves time in 10 ms steps; after each, every command written to the
    // current port since (counted in answered) is handed to answer.
    template <typename Answer>
    void stepAnswering(int ms, int &answered, Answer answer)
    {
        for (int t = 0; t < ms; t += 10) {
            clock.advance(10);
            ScriptedPort *p = port();
            if (!p)
                continue;
            const QByteArrayList w = p->writes();
            for (; answered < w.size(); ++answered)
                answer(p, w.at(answered));
        }
    }
};

} // namespace tvk::test
