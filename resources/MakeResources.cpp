// Writes the program's own resources into a folder: the three sounds, the blank tray image
// and the program icon. Everything is synthesised here, so nothing is downloaded and every
// byte is ours.

#include <cmath>
#include <numbers>

#include <QByteArray>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kRate = 22050;

struct Tone {
    double frequency; // Hz; 0 for silence
    double seconds;
};

// 16-bit mono PCM with short fades so that no tone clicks.
QByteArray synthesise(const QList<Tone> &tones, double volume)
{
    QByteArray samples;
    QDataStream out(&samples, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    for (const Tone &tone : tones) {
        const int count = int(tone.seconds * kRate);
        const int fade = std::min(count / 4, kRate / 100);
        for (int i = 0; i < count; ++i) {
            double envelope = 1.0;
            if (i < fade)
                envelope = double(i) / fade;
            else if (i > count - fade)
                envelope = double(count - i) / fade;
            const double t = double(i) / kRate;
            const double wave = tone.frequency > 0 ? std::sin(2 * std::numbers::pi * tone.frequency * t)
                    + 0.25 * std::sin(4 * std::numbers::pi * tone.frequency * t)
                                                   : 0.0;
            out << qint16(std::lround(wave / 1.25 * envelope * volume * 32767));
        }
    }
    return samples;
}

QByteArray wave(const QByteArray &samples)
{
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + samples.size());
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(kRate) << quint32(kRate * 2) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(samples.size());
    out.writeRawData(samples.constData(), int(samples.size()));
    return file;
}

// A 16x16 icon file whose every pixel is transparent: what the tray shows between blinks.
QByteArray blankIcon()
{
    constexpr int size = 16;
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    const quint32 pixelBytes = size * size * 4;
    const quint32 maskBytes = size * 4; // 1 bit a pixel, rows padded to 32 bits
    const quint32 imageBytes = 40 + pixelBytes + maskBytes;
    out << quint16(0) << quint16(1) << quint16(1); // icon directory
    out << quint8(size) << quint8(size) << quint8(0) << quint8(0) << quint16(1) << quint16(32) << imageBytes
        << quint32(6 + 16); // its one entry
    out << quint32(40) << qint32(size) << qint32(size * 2) << quint16(1) << quint16(32) << quint32(0)
        << quint32(pixelBytes + maskBytes) << qint32(0) << qint32(0) << quint32(0)
        << quint32(0); // bitmap header
    for (quint32 i = 0; i < pixelBytes; ++i)
        out << quint8(0);
    for (quint32 i = 0; i < maskBytes; ++i)
        out << quint8(0xFF);
    return file;
}

// The program icon: a hawk's head over a tally of four strokes and a slash.
QImage programIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1f, 0x4e, 0x79));
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    QPainterPath head;
    head.moveTo(14, 34);
    head.cubicTo(14, 18, 30, 10, 42, 14);
    head.cubicTo(50, 16, 54, 22, 52, 28);
    head.lineTo(44, 30);
    head.cubicTo(46, 34, 42, 36, 40, 34);
    head.cubicTo(34, 36, 24, 38, 14, 34);
    p.setBrush(QColor(0xf2, 0xa5, 0x3a));
    p.drawPath(head);
    p.setBrush(QColor(0x1f, 0x4e, 0x79));
    p.drawEllipse(QPointF(40, 21), 2.6, 2.6);
    QPen stroke(QColor(0xff, 0xff, 0xff), 3.2, Qt::SolidLine, Qt::RoundCap);
    p.setPen(stroke);
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(18 + i * 8, 42), QPointF(18 + i * 8, 56));
    p.drawLine(QPointF(13, 54), QPointF(49, 44));
    return image;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        qCritical("usage: th_make_resources FOLDER");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    const bool ok =
        // Ending alarm: an urgent two-tone call repeated four times.
        writeFile(folder + u"/alarm.wav",
            wave(synthesise({ { 988, 0.16 }, { 740, 0.16 }, { 988, 0.16 }, { 740, 0.16 }, { 0, 0.12 },
                                { 988, 0.16 }, { 740, 0.16 }, { 988, 0.16 }, { 740, 0.16 } },
                0.8)))
        // New bid: a short rising chime.
        && writeFile(
            folder + u"/notify.wav", wave(synthesise({ { 659, 0.12 }, { 880, 0.12 }, { 1319, 0.28 } }, 0.7)))
        // The fallback when a chosen sound cannot be played: one soft beep.
        && writeFile(folder + u"/default.wav", wave(synthesise({ { 880, 0.22 } }, 0.6)))
        && writeFile(folder + u"/trans.ico", blankIcon()) && programIcon(256).save(folder + u"/tallyhawk.png")
        && programIcon(16).save(folder + u"/tallyhawk-16.png");
    return ok ? 0 : 1;
}
