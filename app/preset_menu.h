#pragma once

#include <QMenu>
#include <QPointer>
#include <functional>

class ModelPanel;
namespace Presets {
struct Outcome;
}

// The "Presets" menu: the connected unit's presets by name (choosing one
// recalls it), "Save current as…" and "Delete…". It is filled anew each time
// it opens, from the panel `currentPanel` gives (null without a unit); with
// no unit it says so. The tray menu holds it as a submenu, and a window
// without a tray holds it in its menu bar. Its questions and messages open
// over `dialogParent` (null: on their own, as from the tray).
class PresetMenu : public QMenu {
    Q_OBJECT

public:
    PresetMenu(std::function<ModelPanel*()> currentPanel, QWidget* dialogParent,
               QWidget* parent = nullptr);

private:
    void fill();
    ModelPanel* connectedPanel();
    // By value: the entry that asked may go while a question waits.
    void recall(QString name);
    void saveCurrent();
    void deletePreset();
    // A question with Yes and No, No the default and the answer to Escape.
    bool confirm(const QString& title, const QString& text);
    void showFault(const QString& message);
    // A name typed (or, with `items`, chosen) in a dialog whose accepting
    // button says `accept`; a null string when cancelled.
    QString askText(const QString& title, const QString& label, const QString& accept,
                    const QString& text, const QStringList& items = {});

    std::function<ModelPanel*()> currentPanel;
    QPointer<QWidget> dialogParent;
};
