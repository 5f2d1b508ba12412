#pragma once

class QString;
class QWidget;

// Lays out the model name on a panel whose controls are still to come.
void fillPlaceholderPanel(QWidget* panel, const QString& modelName);
