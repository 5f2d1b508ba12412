#include "app/known_models.h"

#include "panels/vr.h"
#include "panels/vt1.h"
#include "panels/vt2.h"

namespace {

template<typename Panel> ModelPanel* createPanel()
{
    return new Panel;
}

const KnownModel kKnownModels[] = {
    {1, "VT1", "Adding vt1 widget to layout.", &createPanel<vt1>},
    {2, "VT2", "Adding vt2 widget to layout.", &createPanel<vt2>},
    {15, "VR", "Adding vr widget to layout.", &createPanel<vr>},
};

} // namespace

const KnownModel* findKnownModel(std::uint32_t productId)
{
    for (const KnownModel& model : kKnownModels)
        if (model.productId == productId)
            return &model;
    return nullptr;
}

QString firmwareText(const std::array<std::uint8_t, kFirmwareVersionLength>& firmware)
{
    QString text;
    for (std::uint8_t byte : firmware)
        text += QChar(byte);
    return text;
}

QString firmwareTitle(const KnownModel& model,
                      const std::array<std::uint8_t, kFirmwareVersionLength>& firmware)
{
    // Appended rather than substituted with QString::arg, so that a '%' among
    // the firmware bytes cannot be taken for a placeholder.
    return QStringLiteral("Quorlin ") + QLatin1String(model.name) + QStringLiteral(" - FW: ") +
           firmwareText(firmware);
}
