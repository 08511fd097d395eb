// SPDX-License-Identifier: MIT
// "Display Picture" on the standard ruler, with the dialog faked and real files read.
#include "appfixture.h"
#include "fakeservices.h"
#include "platform/system/windowsystem.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zentyr;
using namespace zentyr::test;

class PictureCommandTest : public QObject {
    Q_OBJECT
    FakeServices *fake = nullptr;
    QTemporaryDir dir;

    QString file(const QString &name) const { return dir.filePath(name); }

    static QByteArray encoded(const QColor &c, const char *format, QSize size = QSize(40, 10))
    {
        QImage img(size, QImage::Format_RGB32);
        img.fill(c);
        QByteArray bytes;
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        img.save(&buf, format);
        return bytes;
    }

    QString write(const QString &name, const QByteArray &bytes) const
    {
        QFile f(file(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    }

    void choose(const QString &path) { fake->openAnswers.push_back(OpenResult{false, path}); }

    // The image as the ruler shows it: its pixel at the middle.
    static QColor shownColor(frmRuler &r)
    {
        return r.Image1->grab().toImage().pixelColor(r.Image1->width() / 2, r.Image1->height() / 2);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        write("red.png", encoded(Qt::red, "PNG"));
        write("blue.bmp", encoded(Qt::blue, "BMP"));
        write("green.jpg", encoded(Qt::green, "JPG"));
        // Qt writes no GIF: a 1 x 1 white one by hand.
        write("white.gif",
              QByteArray::fromHex("47494638396101000100800000ffffff0000002c00000000010001000002024401003b"));
        write("notes", "not a picture at all\n");
        const QByteArray jpg = encoded(Qt::green, "JPG", QSize(400, 300));
        write("truncated.jpg", jpg.left(jpg.size() / 2));
        const QByteArray png = encoded(Qt::red, "PNG", QSize(400, 300));
        write("truncated.png", png.left(png.size() - 30));
        const QByteArray gif
            = QByteArray::fromHex("47494638396101000100800000ffffff0000002c00000000010001000002024401003b");
        write("truncated.gif", gif.left(gif.size() - 1));
        // A one-pixel frame on a 60000 x 60000 screen: far too large to hold.
        QByteArray bomb = gif;
        bomb[6] = bomb[8] = char(0x60);
        bomb[7] = bomb[9] = char(0xEA);
        write("bomb.gif", bomb);
        const QByteArray bmp = encoded(Qt::blue, "BMP", QSize(100, 100));
        write("truncated.bmp", bmp.left(bmp.size() / 2));
        QDir(dir.path()).mkdir("folder");
        ::mkfifo(QFile::encodeName(file("fifo")).constData(), 0600);
        // A file far over the size limit that costs nothing on disk.
        const int fd = ::open(QFile::encodeName(file("huge.bmp")).constData(), O_CREAT | O_WRONLY, 0600);
        QVERIFY(fd >= 0 && ::ftruncate(fd, qint64(2) << 30) == 0);
        ::close(fd);
    }

    void init() { fake = new FakeServices; }
    void cleanup()
    {
        resetForms();
        delete fake;
        setMousePointer(0);
    }

    void dialogSettingsAndPointer()
    {
        frmRuler &r = showForm<frmRuler>();
        choose(file("red.png"));
        r.mnuPicture_Click();
        QCOMPARE(fake->openRequests.size(), 1);
        QCOMPARE(fake->openRequests[0].title, QString("Open"));
        QCOMPARE(
            fake->openRequests[0].filter,
            QString("JPEG Files (*.jpg)|*.*|GIF Files (*.gif)|*.gif|BITMAP Files (*.bmp)|*.bmp|All Files (*.*)|*.*"));
        QVERIFY(fake->openRequests[0].fileName.isEmpty());
        QCOMPARE(fake->pointerDuringOpen, QList<Qt::CursorShape>{Qt::WaitCursor});
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(r.Image1->hasPicture());
        QCOMPARE(shownColor(r), QColor(Qt::red));
        QVERIFY(fake->boxes.isEmpty());
        // The dialog offers the last file again.
        r.mnuPicture_Click();
        QCOMPARE(fake->openRequests[1].fileName, file("red.png"));
    }

    void cancelIsSilent()
    {
        frmRuler &r = showForm<frmRuler>();
        choose(file("blue.bmp"));
        r.mnuPicture_Click();
        r.mnuPicture_Click(); // no answer scripted: cancelled
        QVERIFY(fake->boxes.isEmpty());
        QCOMPARE(shownColor(r), QColor(Qt::blue));
        QVERIFY(!QApplication::overrideCursor());
    }

    void everyFormatAndReplacement_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("color");
        QTest::newRow("png") << "red.png" << QColor(Qt::red);
        QTest::newRow("bmp") << "blue.bmp" << QColor(Qt::blue);
        QTest::newRow("gif") << "white.gif" << QColor(Qt::white);
        QTest::newRow("jpg") << "green.jpg" << QColor(Qt::green);
    }

    void everyFormatAndReplacement()
    {
        QFETCH(QString, name);
        QFETCH(QColor, color);
        frmRuler &r = showForm<frmRuler>();
        choose(file("red.png"));
        r.mnuPicture_Click();
        choose(file(name));
        r.mnuPicture_Click();
        const QColor shown = shownColor(r);
        QVERIFY2(qAbs(shown.red() - color.red()) < 8 && qAbs(shown.green() - color.green()) < 8
                     && qAbs(shown.blue() - color.blue()) < 8,
                 qPrintable(shown.name()));
        // Stretched over Image1, and following a resize.
        r.setOuterSize({400, r.height()});
        QCOMPARE(r.Image1->geometry(), r.client()->rect());
        const QImage shot = r.Image1->grab().toImage();
        QCOMPARE(shot.pixelColor(1, 1), shot.pixelColor(shot.width() - 2, shot.height() - 2));
        QCOMPARE(shot.pixelColor(shot.width() - 2, shot.height() - 2).rgb(), shown.rgb());
    }

    void badInput_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::newRow("missing") << "nothing-here.png" << 53;
        QTest::newRow("folder") << "folder" << 75;
        QTest::newRow("fifo") << "fifo" << 75;
        QTest::newRow("device") << "/dev/zero" << 75;
        QTest::newRow("text") << "notes" << 481;
        QTest::newRow("truncated jpeg") << "truncated.jpg" << 481;
        QTest::newRow("truncated png") << "truncated.png" << 481;
        QTest::newRow("truncated gif") << "truncated.gif" << 481;
        QTest::newRow("truncated bmp") << "truncated.bmp" << 481;
        QTest::newRow("decompression bomb") << "bomb.gif" << 7;
        QTest::newRow("huge file") << "huge.bmp" << 7;
    }

    void badInput()
    {
        QFETCH(QString, name);
        QFETCH(int, number);
        frmRuler &r = showForm<frmRuler>();
        choose(file("blue.bmp"));
        r.mnuPicture_Click();
        choose(name.startsWith('/') ? name : file(name));
        QElapsedTimer t;
        t.start();
        r.mnuPicture_Click();
        QVERIFY(t.elapsed() < 2000);
        QCOMPARE(fake->boxes.size(), 1);
        const QString text = fake->boxes[0].text;
        const QString head = QString("Error #  %1 was generated by ").arg(number);
        QVERIFY2(text.startsWith(head), qPrintable(text));
        QCOMPARE(text.count('\r'), 1);
        QVERIFY(!text.contains('\n'));
        QVERIFY(text.indexOf('\r') > head.size()); // the source stands before the line break
        // The program names itself as the source, with its own wording after the line break.
        static const QMap<int, QString> wording{
            {7, "Out of memory"}, {53, "File not found"}, {75, "Path/File access error"}, {481, "Invalid picture"}};
        QCOMPARE(text, head + "Zentyr\r" + wording.value(number));
        QCOMPARE(fake->boxes[0].style, MessageStyle::Plain);
        QVERIFY(fake->boxes[0].title.isEmpty());
        // The box came while the wait pointer was up; afterwards it is back to normal.
        QCOMPARE(fake->pointerDuringBox, QList<Qt::CursorShape>{Qt::WaitCursor});
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(shownColor(r), QColor(Qt::blue));
    }

    void emptyFileNameLoadsNothing()
    {
        frmRuler &r = showForm<frmRuler>();
        choose(file("blue.bmp"));
        r.mnuPicture_Click();
        choose(QString());
        r.mnuPicture_Click();
        QVERIFY(fake->boxes.isEmpty());
        QCOMPARE(shownColor(r), QColor(Qt::blue));
        QVERIFY(!QApplication::overrideCursor());
    }

    void hideAndReopenForgetsThePicture()
    {
        frmRuler &r = showForm<frmRuler>();
        choose(file("red.png"));
        r.mnuPicture_Click();
        r.unload();
        flushDeletes();
        frmRuler &again = showForm<frmRuler>();
        QVERIFY(!again.Image1->hasPicture());
        again.mnuPicture_Click();
        QVERIFY(fake->openRequests.last().fileName.isEmpty());
    }

    // The tray may unload the standard ruler while its Open dialog or error box waits.
    void rulerUnloadedWhileWaiting_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("duringBox");
        QTest::newRow("Open dialog") << "red.png" << false;
        QTest::newRow("error box") << "notes" << true;
    }

    void rulerUnloadedWhileWaiting()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, duringBox);
        frmRuler &r = showForm<frmRuler>();
        choose(file(chosen));
        const auto unload = [] {
            loadedForm<frmRuler>()->unload();
            flushDeletes();
        };
        (duringBox ? fake->whileBox : fake->whileOpen) = unload;
        r.mnuPicture_Click();
        fake->whileBox = fake->whileOpen = nullptr;
        QVERIFY(!loadedForm<frmRuler>());
        QCOMPARE(fake->boxes.size(), duringBox ? 1 : 0);
        QVERIFY(!QApplication::overrideCursor());
        // The next "Display Picture" starts afresh, with the wait pointer up during it again.
        frmRuler &again = showForm<frmRuler>();
        QVERIFY(!again.Image1->hasPicture());
        choose(file("blue.bmp"));
        again.mnuPicture_Click();
        QVERIFY(fake->openRequests.last().fileName.isEmpty());
        QCOMPARE(fake->pointerDuringOpen.last(), Qt::WaitCursor);
        QCOMPARE(shownColor(again), QColor(Qt::blue));
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(PictureCommandTest)
#include "test_picture_command.moc"
