#include "app/preset_menu.h"

#include "panels/model_panel.h"
#include "presets/preset_store.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

using Presets::NameRules;
using Presets::PresetStore;

namespace {

// A menu entry's text shows '&' itself rather than a shortcut letter.
QString entryText(const QString& name)
{
    return QString(name).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

PresetMenu::PresetMenu(std::function<ModelPanel*()> panelSource, QWidget* dialogOwner,
                       QWidget* parent)
    : QMenu(parent)
    , currentPanel(std::move(panelSource))
    , dialogParent(dialogOwner)
{
    setTitle(tr("&Presets"));
    connect(this, &QMenu::aboutToShow, this, &PresetMenu::fill);
    fill();
}

ModelPanel* PresetMenu::connectedPanel()
{
    ModelPanel* panel = currentPanel ? currentPanel() : nullptr;
    return panel && !panel->controls().isEmpty() ? panel : nullptr;
}

void PresetMenu::fill()
{
    clear();
    ModelPanel* panel = connectedPanel();
    if (!panel) {
        addAction(tr("No unit connected"))->setEnabled(false);
        return;
    }
    const QStringList names = PresetStore(*panel).names();
    for (const QString& name : names)
        connect(addAction(entryText(NameRules::shownName(name))), &QAction::triggered, this,
                [this, name] { recall(name); });
    addSeparator();
    connect(addAction(tr("Save current as…")), &QAction::triggered, this, &PresetMenu::saveCurrent);
    QAction* remove = addAction(tr("Delete…"));
    remove->setEnabled(names.size() > 1);
    connect(remove, &QAction::triggered, this, &PresetMenu::deletePreset);
}

bool PresetMenu::confirm(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                    dialogParent);
    // Qt's own texts are not translated here (its translations are not loaded).
    box.button(QMessageBox::Yes)->setText(tr("Yes"));
    box.button(QMessageBox::No)->setText(tr("No"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString PresetMenu::askText(const QString& title, const QString& label, const QString& accept,
                            const QString& text, const QStringList& items)
{
    QInputDialog dialog(dialogParent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setOkButtonText(accept);
    dialog.setCancelButtonText(tr("Cancel"));
    if (items.isEmpty()) {
        dialog.setTextValue(text);
    } else {
        dialog.setComboBoxItems(items);
        dialog.setComboBoxEditable(false);
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.textValue().isNull() ? QStringLiteral("") : dialog.textValue();
}

void PresetMenu::showFault(const QString& message)
{
    QMessageBox box(QMessageBox::Warning, tr("Presets"), message, QMessageBox::Ok, dialogParent);
    box.button(QMessageBox::Ok)->setText(tr("OK"));
    box.exec();
}

void PresetMenu::recall(QString name)
{
    ModelPanel* panel = connectedPanel();
    if (!panel)
        return showFault(tr("No unit is connected."));
    const Presets::Outcome outcome =
        PresetStore(*panel).recall(name, [this, &name](const QStringList& switches) {
            return confirm(
                tr("Phantom power"),
                tr("Preset “%1” switches on 48V phantom power: %2.\n\nPhantom power "
                   "can damage equipment that is not made for it. Switch it on?")
                    .arg(NameRules::shownName(name), switches.join(QStringLiteral(", "))));
        });
    if (!outcome.ok() && outcome.fault != Presets::Fault::PhantomDeclined)
        showFault(outcome.message.shown);
}

void PresetMenu::saveCurrent()
{
    QString name;
    for (;;) {
        const QString typed =
            askText(tr("Save Preset"), tr("Save the current input settings as:"), tr("Save"), name);
        if (typed.isNull())
            return;
        name = typed.trimmed();
        const Presets::Message refusal = NameRules::refusal(name);
        if (refusal.isEmpty())
            break;
        showFault(refusal.shown); // and ask again, with the name as typed
    }
    ModelPanel* panel = connectedPanel();
    if (!panel)
        return showFault(tr("No unit is connected."));
    const QString existing = PresetStore(*panel).storedName(name);
    if (!existing.isEmpty() &&
        !confirm(tr("Replace Preset"),
                 tr("There is already a preset “%1”. Replace it with the current settings?")
                     .arg(existing)))
        return;
    // The question may have outlasted the unit: the store is made afresh.
    panel = connectedPanel();
    if (!panel)
        return showFault(tr("No unit is connected."));
    const Presets::Outcome outcome = PresetStore(*panel).save(name, true);
    if (!outcome.ok())
        showFault(outcome.message.shown);
}

void PresetMenu::deletePreset()
{
    ModelPanel* panel = connectedPanel();
    if (!panel)
        return showFault(tr("No unit is connected."));
    const QStringList names = PresetStore(*panel).names().mid(1);
    if (names.isEmpty())
        return;
    const QString name =
        askText(tr("Delete Preset"), tr("Preset to delete:"), tr("Delete"), QString(), names);
    if (name.isNull() || !confirm(tr("Delete Preset"), tr("Delete preset “%1”?").arg(name)))
        return;
    panel = connectedPanel();
    if (!panel)
        return showFault(tr("No unit is connected."));
    const Presets::Outcome outcome = PresetStore(*panel).remove(name);
    if (!outcome.ok())
        showFault(outcome.message.shown);
}
