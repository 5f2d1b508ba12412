#include "panels/placeholder_panel.h"

#include <QLabel>
#include <QVBoxLayout>

void fillPlaceholderPanel(QWidget* panel, const QString& modelName)
{
    auto* layout = new QVBoxLayout(panel);
    auto* label = new QLabel(modelName, panel);
    label->setStyleSheet(QStringLiteral("font-size: 16px; color: #00ffff;"));
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
}
