#pragma once

#include <QDialog>

class CaptureProperties;

// The camera's format pages: the resolution list and the image controls of the running
// device, modal over the main window. Changes apply as they are made.
class CameraPropertiesDialog : public QDialog
{
    Q_OBJECT

public:
    CameraPropertiesDialog(const QString& caption, CaptureProperties& properties, QWidget* owner);
};
