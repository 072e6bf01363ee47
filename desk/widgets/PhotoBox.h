#pragma once

#include <QByteArray>
#include <QImage>
#include <QWidget>

// A picture box that remembers what kind of picture it holds: a JPEG (from the
// database, a file or the placeholder) keeps its file bytes so that it is stored
// unchanged; a bitmap (a camera frame) is compressed only when it is stored.
class PhotoBox : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool stretch READ stretch WRITE setStretch)

public:
    enum class Kind
    {
        Empty,
        Jpeg,
        Bitmap
    };

    explicit PhotoBox(QWidget* parent = nullptr);

    Kind kind() const { return m_kind; }
    bool isEmpty() const { return m_kind == Kind::Empty; }
    const QImage& image() const { return m_image; }
    const QByteArray& jpegBytes() const { return m_jpeg; }

    void clear();
    // Throws JpegError and keeps the previous picture when the bytes do not decode.
    void setJpeg(const QByteArray& bytes);
    void setBitmap(const QImage& image);
    // A .jpg or .jpeg file stays JPEG; any other file becomes a bitmap. Throws
    // std::runtime_error (or JpegError) and keeps the previous picture on failure.
    void loadFromFile(const QString& path);

    // The picture as the bytes of a JPEG file: a JPEG as it came, a bitmap encoded at
    // quality 90. Empty when the box is empty.
    QByteArray toJpeg() const;

    // Stretched pictures fill the box; otherwise they show unscaled from the top-left.
    bool stretch() const { return m_stretch; }
    void setStretch(bool stretch);

    QSize sizeHint() const override;

Q_SIGNALS:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    Kind m_kind = Kind::Empty;
    QImage m_image;
    QByteArray m_jpeg;
    bool m_stretch = false;
};
