#include "tests/desk/DeskFixture.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

namespace {

// Waits in a real event loop that blocks when idle (QTest::qWait only polls), so the
// idle moments the camera's gate looks for happen.
template <typename Condition> bool waitFor(Condition condition, int ms = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms)
            return false;
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// A live test-pattern camera offering the given capabilities.
std::shared_ptr<CaptureDevice> testCamera(const char* name, const QByteArray& caps)
{
    return std::make_shared<GstDescribedDevice>(QString::fromLatin1(name),
                                                "videotestsrc is-live=true pattern=smpte", caps);
}

QByteArray yuy2(int width, int height)
{
    return QStringLiteral("video/x-raw,format=YUY2,width=%1,height=%2,framerate=30/1")
        .arg(width)
        .arg(height)
        .toLatin1();
}

class CameraTest : public DeskFixture
{
protected:
    QPushButton* button(const char* name) const { return get<QPushButton>(name); }
    PhotoBox* photo() const { return get<PhotoBox>("imgFotoCapturada"); }
    void startCamera(CapturePlatform& cameras)
    {
        openDesk(defaultParametros(), &cameras);
        // The guard picks the camera first; leaving the document field would look it up.
        get<QComboBox>("ComboBox1")->setFocus();
        messages.clear();
        QTest::mouseClick(button("btnStart"), Qt::LeftButton);
    }
};

TEST_F(CameraTest, StartCaptureStopAndCaptureAgain)
{
    DeviceListPlatform cameras({testCamera("Test Camera", yuy2(640, 480))});
    startCamera(cameras);
    EXPECT_FALSE(button("btnStart")->isEnabled());
    EXPECT_TRUE(button("btnStop")->isEnabled());
    EXPECT_TRUE(button("btnPropriedades")->isEnabled());
    EXPECT_TRUE(button("btnCaptura")->isEnabled());
    EXPECT_EQ(get<QLabel>("lblSize")->text(), QStringLiteral("Tamanho do Vídeo 640 x 480"));
    auto* sizes = get<QComboBox>("cboSize");
    ASSERT_EQ(sizes->count(), 1);
    EXPECT_EQ(sizes->itemText(0), QStringLiteral("640*480  (YUY2)"));

    // The live box shows the test pattern: its top-left bar is not black.
    auto* live = get<PhotoBox>("imgWebCam");
    ASSERT_TRUE(waitFor([&] {
        return live->kind() == PhotoBox::Kind::Bitmap && live->image().pixelColor(5, 5).value() > 100;
    }));

    QTest::mouseClick(button("btnCaptura"), Qt::LeftButton);
    EXPECT_EQ(photo()->kind(), PhotoBox::Kind::Bitmap);
    EXPECT_EQ(photo()->image().size(), QSize(640, 480));
    EXPECT_EQ(photo()->size(), QSize(640, 480)); // the box grew to the frame
    const QImage first = photo()->image();

    QTest::mouseClick(button("btnStop"), Qt::LeftButton);
    EXPECT_TRUE(button("btnStart")->isEnabled());
    EXPECT_FALSE(button("btnStop")->isEnabled());
    EXPECT_TRUE(button("btnCaptura")->isEnabled());
    const int frames = form->VideoImage->FramesReceived();
    QTest::qWait(300);
    EXPECT_EQ(form->VideoImage->FramesReceived(), frames);

    // After the stop the photograph is the last frame received.
    photo()->clear();
    QTest::mouseClick(button("btnCaptura"), Qt::LeftButton);
    EXPECT_EQ(photo()->image().size(), QSize(640, 480));
    EXPECT_EQ(photo()->image().pixelColor(5, 5), first.pixelColor(5, 5));

    // A captured photograph is stored as a quality-90 JPEG of the frame's size.
    EXPECT_EQ(Jpeg::decode(photo()->toJpeg()).size(), QSize(640, 480));
}

TEST_F(CameraTest, StartPicksTheNinthSmallestSizeWhenThereAreMoreThanEight)
{
    const int widths[] = {1280, 160, 320, 176, 640, 352, 800, 960, 1024, 424, 1920, 480};
    QByteArray twelve;
    for (const int w : widths)
        twelve += (twelve.isEmpty() ? "" : ";") + yuy2(w, w * 3 / 4);
    DeviceListPlatform cameras(
        {testCamera("Twelve", twelve), testCamera("Few", yuy2(320, 240) + ";" + yuy2(160, 120))});
    startCamera(cameras);
    // Sorted: 160 176 320 352 424 480 640 800 960 ...
    EXPECT_EQ(form->VideoImage->VideoWidth(), 960);
    EXPECT_EQ(get<QComboBox>("cboSize")->count(), 12);

    QTest::mouseClick(button("btnStop"), Qt::LeftButton);
    get<QComboBox>("ComboBox1")->setCurrentIndex(1);
    QTest::mouseClick(button("btnStart"), Qt::LeftButton);
    // Two sizes: the camera keeps the format it started with, its first capability.
    EXPECT_EQ(form->VideoImage->VideoWidth(), 320);

    // A choice in the size list applies that size.
    auto* sizes = get<QComboBox>("cboSize");
    sizes->setCurrentIndex(1);
    sizes->setFocus();
    QTest::keyClick(sizes, Qt::Key_Up);
    EXPECT_EQ(form->VideoImage->VideoWidth(), 160);
    EXPECT_EQ(get<QLabel>("lblSize")->text(), QStringLiteral("Video size 160 x 120"));
}

TEST_F(CameraTest, FailedStartShowsNothingAndStopBringsTheStartBack)
{
    DeviceListPlatform cameras({std::make_shared<GstDescribedDevice>(
        QStringLiteral("Broken"), "no_such_element_anywhere", yuy2(320, 240))});
    startCamera(cameras);
    EXPECT_FALSE(button("btnStart")->isEnabled());
    EXPECT_TRUE(button("btnStop")->isEnabled());
    EXPECT_FALSE(button("btnCaptura")->isEnabled());
    EXPECT_TRUE(messages.shown().empty());
    QTest::mouseClick(button("btnStop"), Qt::LeftButton);
    EXPECT_TRUE(button("btnStart")->isEnabled());
    EXPECT_FALSE(button("btnStop")->isEnabled());
}

TEST_F(CameraTest, DoubleClickLoadsAJpegFileThatIsStoredUnchanged)
{
    openDesk();
    const QString path = QDir(m_folder.path()).filePath(QStringLiteral("foto.jpg"));
    const QByteArray bytes = Jpeg::encode(testPicture(64, 48, Qt::darkCyan), 55);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    form->setFileChooser([] { return QString(); });
    QTest::mouseDClick(get<PhotoBox>("imgWebCam"), Qt::LeftButton);
    EXPECT_TRUE(photo()->isEmpty()); // cancelled

    form->setFileChooser([path] { return path; });
    QTest::mouseDClick(get<PhotoBox>("imgWebCam"), Qt::LeftButton);
    EXPECT_EQ(photo()->kind(), PhotoBox::Kind::Jpeg);
    EXPECT_EQ(photo()->toJpeg(), bytes);
}

TEST_F(CameraTest, ClosingTheWindowStopsARunningCamera)
{
    DeviceListPlatform cameras({testCamera("Test Camera", yuy2(320, 240))});
    startCamera(cameras);
    ASSERT_TRUE(waitFor([&] { return form->VideoImage->FramesReceived() > 3; }));
    form->close();
    const int frames = form->VideoImage->FramesReceived();
    QTest::qWait(300);
    EXPECT_EQ(form->VideoImage->FramesReceived(), frames);
    EXPECT_EQ(events.last(), QStringLiteral("quit"));
}

} // namespace
