#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

// One image control as the property dialog shows it.
struct ImageControlSetting
{
    std::int32_t control = 0; // ImageControl_*
    QString name;
    std::int32_t min = 0;
    std::int32_t max = 0;
    std::int32_t step = 0;
    std::int32_t defaultValue = 0;
    std::int32_t value = 0;
    bool automatic = false;
    bool canBeAutomatic = false;
};

// What the camera's property dialog may read and change. It is handed to the dialog
// while the graph is stopped; the graph runs again with the chosen format once the
// dialog returns.
class CaptureProperties
{
public:
    virtual ~CaptureProperties() = default;
    // The resolution list's texts, smallest size first.
    virtual QStringList formats() const = 0;
    // Position in formats() of the format in use, or -1.
    virtual int currentFormat() const = 0;
    virtual void selectFormat(int listIndex) = 0;
    virtual std::vector<ImageControlSetting> imageControls() const = 0;
    virtual void setImageControl(std::int32_t control, std::int32_t value, bool automatic) = 0;
};

// Shows the modal property dialog (owned by the main window) with the given caption.
using PropertyDialogHook = std::function<void(const QString& caption, CaptureProperties& properties)>;
