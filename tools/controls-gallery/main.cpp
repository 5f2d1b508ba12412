// controls-gallery <output directory>
//
// Renders the Knob and Button in the configurations the panels use onto the
// panels' dark background and writes them as PNG files at device pixel ratio
// 1 and 2: knobs@1x.png, knobs@2x.png, buttons@1x.png, buttons@2x.png, and
// focus@1x.png, focus@2x.png with each control as the keyboard leaves it
// when it has the focus beside the same control without it. Runs offscreen
// unless a platform is chosen explicitly.

#include "controls/button.h"
#include "controls/knob.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTextStream>
#include <QWidget>
#include <functional>

namespace {
const QColor kPanelBackground("#2c313c");
const QString kPanelTextColor = QStringLiteral("#00ff7f");
const QString kGainArcColor = QStringLiteral("#f1fa8c");
const QString kUncheckedTextColor = QStringLiteral("#8a95aa");
const QString kPanelButtonBackground = QStringLiteral("#1b1e23");
const QStringList kAccents = {QStringLiteral("#00ffff"), QStringLiteral("#ff79c6"),
                              QStringLiteral("#ffb86c"), QStringLiteral("#00ff7f")};

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setStyleSheet(QStringLiteral("color: #a0a8b8; font-size: 10px;"));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// A page with the panels' background; the controls go into its grid.
QWidget* makePage(QGridLayout** grid)
{
    auto* page = new QWidget;
    page->setAutoFillBackground(true);
    QPalette palette = page->palette();
    palette.setColor(QPalette::Window, kPanelBackground);
    page->setPalette(palette);
    *grid = new QGridLayout(page);
    (*grid)->setSpacing(14);
    (*grid)->setContentsMargins(20, 20, 20, 20);
    return page;
}

struct KnobStyle {
    QString name;
    int size;
    std::function<void(Knob&)> configure;
};

// Rows: the panels' dial kinds. Columns: minimum, middle, maximum.
QWidget* knobPage()
{
    QGridLayout* grid = nullptr;
    QWidget* page = makePage(&grid);
    const QList<KnobStyle> styles = {
        {QStringLiteral("defaults 120"), 120,
         [](Knob&) {
         }},
        {QStringLiteral("gain 120"), 120,
         [](Knob& k) {
             k.minimum = 0;
             k.maximum = 56;
             k.displayOffset = 9;
             k.arcColor = QColor(kGainArcColor);
             k.textColor = QColor(kPanelTextColor);
         }},
        {QStringLiteral("level 120"), 120,
         [](Knob& k) {
             k.textColor = QColor(kPanelTextColor);
         }},
        {QStringLiteral("level 70"), 70,
         [](Knob& k) {
             k.arcWidth = 3;
             k.fontSize = 10;
             k.textColor = QColor(kPanelTextColor);
         }},
    };
    for (int row = 0; row < styles.size(); ++row) {
        const KnobStyle& style = styles.at(row);
        grid->addWidget(caption(style.name, page), row * 2 + 1, 0);
        for (int column = 0; column < 3; ++column) {
            auto* knob = new Knob(page);
            knob->setFixedSize(style.size, style.size);
            style.configure(*knob);
            // Range first, value last, as the panels do.
            const int span = knob->maximum - knob->minimum;
            knob->value = knob->minimum + span * column / 2;
            grid->addWidget(knob, row * 2 + 1, column + 1, Qt::AlignCenter);
        }
    }
    const QStringList columns = {QStringLiteral("minimum"), QStringLiteral("middle"),
                                 QStringLiteral("maximum")};
    for (int column = 0; column < columns.size(); ++column)
        grid->addWidget(caption(columns.at(column), page), 0, column + 1);
    return page;
}

// Rows: default colours, then the panels' colours with several accents.
// Columns: off, on. Parentless construction first, as the panels do, so the
// glow gets the panels' blur radius.
QWidget* buttonPage()
{
    QGridLayout* grid = nullptr;
    QWidget* page = makePage(&grid);
    grid->addWidget(caption(QStringLiteral("off"), page), 0, 1);
    grid->addWidget(caption(QStringLiteral("on"), page), 0, 2);
    QStringList rows = {QStringLiteral("defaults")};
    rows << kAccents;
    for (int row = 0; row < rows.size(); ++row) {
        grid->addWidget(caption(rows.at(row), page), row + 1, 0);
        for (int column = 0; column < 2; ++column) {
            auto* button = new Button(row == 0 ? QStringLiteral("MUTE") : QStringLiteral("48V"));
            button->setParent(page);
            if (row > 0) {
                button->uncheckedTextColor = kUncheckedTextColor;
                button->checkedBackground = kPanelButtonBackground;
                button->uncheckedBackground = kPanelButtonBackground;
                button->checkedTextColor = rows.at(row);
                button->glowColor = rows.at(row);
            }
            // The panels' MUTE and DIM size: the style sheet drops the
            // platform's padding, so an unsized button hugs its text.
            button->setMinimumWidth(80);
            button->setMaximumWidth(80);
            button->setMinimumHeight(40);
            button->setState(column == 1);
            grid->addWidget(button, row + 1, column + 1, Qt::AlignCenter);
        }
    }
    return page;
}

// Rows: a gain, a level and a phone dial, a switch off and on. Columns:
// without and with the focus. Each control of the second column is drawn
// while it holds the focus, given by Tab as a keyboard user gives it.
QWidget* focusPage(QList<QWidget*>* focused)
{
    QGridLayout* grid = nullptr;
    QWidget* page = makePage(&grid);
    grid->addWidget(caption(QStringLiteral("without focus"), page), 0, 1);
    grid->addWidget(caption(QStringLiteral("with focus"), page), 0, 2);
    const QStringList rows = {QStringLiteral("gain 120"), QStringLiteral("level 120"),
                              QStringLiteral("level 70"), QStringLiteral("switch off"),
                              QStringLiteral("switch on")};
    for (int row = 0; row < rows.size(); ++row) {
        grid->addWidget(caption(rows.at(row), page), row + 1, 0);
        for (int column = 0; column < 2; ++column) {
            QWidget* control = nullptr;
            if (row < 3) {
                auto* knob = new Knob(page);
                const bool phone = row == 2;
                knob->setFixedSize(phone ? 70 : 120, phone ? 70 : 120);
                knob->textColor = QColor(kPanelTextColor);
                if (row == 0) {
                    knob->minimum = 0;
                    knob->maximum = 56;
                    knob->displayOffset = 9;
                    knob->arcColor = QColor(kGainArcColor);
                }
                if (phone) {
                    knob->arcWidth = 3;
                    knob->fontSize = 10;
                }
                knob->value = knob->minimum + (knob->maximum - knob->minimum) * 2 / 3;
                control = knob;
            } else {
                auto* button = new Button(QStringLiteral("MUTE"));
                button->setParent(page);
                button->uncheckedTextColor = kUncheckedTextColor;
                button->checkedBackground = kPanelButtonBackground;
                button->uncheckedBackground = kPanelButtonBackground;
                button->checkedTextColor = kAccents.at(0);
                button->glowColor = kAccents.at(0);
                button->setMinimumWidth(80);
                button->setMaximumWidth(80);
                button->setMinimumHeight(40);
                button->setState(row == 4);
                control = button;
            }
            grid->addWidget(control, row + 1, column + 1, Qt::AlignCenter);
            if (column == 1)
                *focused << control;
        }
    }
    return page;
}

QImage blankImage(QWidget* page, qreal ratio)
{
    page->adjustSize();
    QImage image(page->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(kPanelBackground);
    return image;
}

bool writePng(QWidget* page, qreal ratio, const QString& path)
{
    QImage image = blankImage(page, ratio);
    page->render(&image);
    return image.save(path);
}

// Shows the page and makes it the active window, which the focus needs.
bool activate(QWidget* page)
{
    page->show();
    page->activateWindow();
    const QDeadlineTimer deadline(5000);
    while (!page->isActiveWindow() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return page->isActiveWindow();
}

// The page with each of `focused` drawn while it has the focus. Only one
// widget can hold the focus at a time, so each is drawn over the page in
// turn. The page must be the active window.
bool writeFocusPng(QWidget* page, const QList<QWidget*>& focused, qreal ratio, const QString& path)
{
    QImage image = blankImage(page, ratio);
    page->render(&image);
    for (QWidget* control : focused) {
        control->setFocus(Qt::TabFocusReason);
        if (!control->hasFocus())
            return false;
        page->render(&image, control->pos(), QRegion(control->geometry()));
    }
    return image.save(path);
}
} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc < 2) {
        err << "usage: controls-gallery <output directory>\n";
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("."))) {
        err << "cannot create " << out.path() << "\n";
        return 1;
    }

    QScopedPointer<QWidget> knobs(knobPage());
    QScopedPointer<QWidget> buttons(buttonPage());
    QList<QWidget*> focused;
    QScopedPointer<QWidget> focus(focusPage(&focused));
    bool ok = activate(focus.data());
    if (!ok)
        err << "no active window: the focus page cannot be drawn\n";
    for (const qreal ratio : {1.0, 2.0}) {
        const QString suffix = QStringLiteral("@%1x.png").arg(int(ratio));
        for (const auto& [page, name] : {std::pair{knobs.data(), QStringLiteral("knobs")},
                                         std::pair{buttons.data(), QStringLiteral("buttons")}}) {
            const QString path = out.filePath(name + suffix);
            if (writePng(page, ratio, path)) {
                QTextStream(stdout) << path << "\n";
            } else {
                err << "cannot write " << path << "\n";
                ok = false;
            }
        }
        const QString path = out.filePath(QStringLiteral("focus") + suffix);
        if (ok && writeFocusPng(focus.data(), focused, ratio, path)) {
            QTextStream(stdout) << path << "\n";
        } else {
            err << "cannot write " << path << "\n";
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
