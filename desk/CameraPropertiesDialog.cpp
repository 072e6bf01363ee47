#include "desk/CameraPropertiesDialog.h"

#include "capture/CaptureProperties.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

CameraPropertiesDialog::CameraPropertiesDialog(const QString& caption, CaptureProperties& properties,
                                               QWidget* owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("CameraPropertiesDialog"));
    setWindowTitle(caption.isEmpty() ? QStringLiteral("Propriedades da Camera") : caption);
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    auto* formats = new QComboBox(this);
    formats->setObjectName(QStringLiteral("cboFormatos"));
    formats->addItems(properties.formats());
    formats->setCurrentIndex(properties.currentFormat());
    auto* formatsLabel = new QLabel(QStringLiteral("Resolução:"), this);
    formatsLabel->setBuddy(formats);
    form->addRow(formatsLabel, formats);
    connect(formats, &QComboBox::activated, this,
            [&properties](int index) { properties.selectFormat(index); });

    for (const ImageControlSetting& setting : properties.imageControls()) {
        auto* row = new QHBoxLayout;
        auto* slider = new QSlider(Qt::Horizontal, this);
        slider->setRange(setting.min, setting.max);
        slider->setSingleStep(std::max(1, setting.step));
        slider->setPageStep(std::max(1, setting.step) * 10);
        slider->setValue(setting.value);
        slider->setAccessibleName(setting.name);
        auto* value = new QLabel(QString::number(setting.value), this);
        value->setMinimumWidth(40);
        row->addWidget(slider, 1);
        row->addWidget(value);
        QCheckBox* automatic = nullptr;
        if (setting.canBeAutomatic) {
            automatic = new QCheckBox(QStringLiteral("Automático"), this);
            automatic->setChecked(setting.automatic);
            slider->setEnabled(!setting.automatic);
            row->addWidget(automatic);
        }
        auto* label = new QLabel(setting.name + QLatin1Char(':'), this);
        label->setBuddy(slider);
        form->addRow(label, row);

        const std::int32_t control = setting.control;
        auto apply = [&properties, control, slider, automatic] {
            properties.setImageControl(control, slider->value(), automatic && automatic->isChecked());
        };
        connect(slider, &QSlider::valueChanged, this, [value, apply](int v) {
            value->setText(QString::number(v));
            apply();
        });
        if (automatic)
            connect(automatic, &QCheckBox::toggled, this, [slider, apply](bool on) {
                slider->setEnabled(!on);
                apply();
            });
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);
}
