#include "desk/widgets/PhotoBox.h"

#include "capture/Jpeg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>

#include <stdexcept>

PhotoBox::PhotoBox(QWidget* parent) : QWidget(parent) {}

void PhotoBox::clear()
{
    m_kind = Kind::Empty;
    m_image = QImage();
    m_jpeg.clear();
    update();
}

void PhotoBox::setJpeg(const QByteArray& bytes)
{
    QImage decoded = Jpeg::decode(bytes); // throws before anything here changes
    m_kind = Kind::Jpeg;
    m_image = std::move(decoded);
    m_jpeg = bytes;
    update();
}

void PhotoBox::setBitmap(const QImage& image)
{
    m_kind = image.isNull() ? Kind::Empty : Kind::Bitmap;
    m_image = image;
    m_jpeg.clear();
    update();
}

void PhotoBox::loadFromFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error(QStringLiteral("Não é possível abrir o arquivo \"%1\". %2")
                                         .arg(QDir::toNativeSeparators(path), file.errorString())
                                         .toStdString());
        setJpeg(file.readAll());
        return;
    }
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull())
        throw std::runtime_error(QStringLiteral("Não é possível carregar a imagem \"%1\". %2")
                                     .arg(QDir::toNativeSeparators(path), reader.errorString())
                                     .toStdString());
    setBitmap(image);
}

QByteArray PhotoBox::toJpeg() const
{
    switch (m_kind) {
    case Kind::Jpeg:
        return m_jpeg;
    case Kind::Bitmap:
        return Jpeg::encode(m_image, 90);
    case Kind::Empty:
        break;
    }
    return {};
}

void PhotoBox::setStretch(bool stretch)
{
    m_stretch = stretch;
    update();
}

QSize PhotoBox::sizeHint() const
{
    return QSize(320, 240);
}

void PhotoBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_image.isNull()) {
        // An empty box still shows where the picture goes.
        painter.setPen(QPen(palette().color(QPalette::Mid), 1, Qt::DashLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        return;
    }
    if (m_stretch)
        painter.drawImage(rect(), m_image);
    else
        painter.drawImage(QPoint(0, 0), m_image);
}

void PhotoBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}
