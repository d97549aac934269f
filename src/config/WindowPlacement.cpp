#include "config/WindowPlacement.h"

#include <functional>
#include <limits>
#include <optional>

#include <QCoreApplication>
#include <QFileInfo>

#include "common/Numeric.h"
#include "common/Version.h"
#include "platform/IPrompter.h"
#include "store/RegistryStore.h"

namespace th {

namespace {

QString settingKeyPath(const QString &prefix, const QString &programName, const QString &section)
{
    QStringList parts;
    for (const QString &part : { prefix, programName, section }) {
        if (!part.isEmpty())
            parts.append(part);
    }
    return parts.join(u'\\');
}

const QString kDefaultPrefix = QStringLiteral("SOFTWARE");

// The first failure of a window operation, shown to the user once it has stopped.
struct Failure {
    int number = 0;
    QString description;
};

void showFailure(IPrompter &prompter, const Failure &failure)
{
    prompter.message(QStringLiteral("Error %1\n\n%2").arg(failure.number).arg(failure.description),
        QString::fromLatin1(kProgramTitle), PromptIcon::None, PromptButtons::Ok);
}

Failure notANumber()
{
    return { PlacementError::NotANumber, QStringLiteral("The stored window placement is not a number") };
}

Failure cannotPlace()
{
    return { PlacementError::CannotPlace, QStringLiteral("The window cannot be moved or sized now") };
}

// Reads one stored number and hands it to `apply`; the stored text must be a number.
std::optional<Failure> loadOne(const RegistryStore &store, const QString &programName, const QString &section,
    const QString &key, int current, const std::function<bool(int)> &apply)
{
    const QString text = ReadAppSetting(
        store, programName, section, key, QString::number(current), RegRoot::LocalMachine, kDefaultPrefix);
    if (!isNumeric(text))
        return notANumber();
    const qint64 number = roundHalfEven(numericValue(text, SignRule::AllowSign));
    if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
        return notANumber();
    if (!apply(int(number)))
        return cannotPlace();
    return std::nullopt;
}

} // namespace

bool WriteAppSetting(RegistryStore &store, const QString &programName, const QString &section,
    const QString &key, const QString &text, RegRoot root, const QString &prefix)
{
    return store
        .setValue(
            root, settingKeyPath(prefix, programName, section), RegValue::fromString(key, text + QChar(0)))
        .ok();
}

QString ReadAppSetting(const RegistryStore &store, const QString &programName, const QString &section,
    const QString &key, const QString &defaultValue, RegRoot root, const QString &prefix)
{
    const std::optional<RegValue> value
        = store.value(root, settingKeyPath(prefix, programName, section), key);
    if (!value)
        return defaultValue;
    if (value->kind == RegKind::String)
        return value->text();
    if (const std::optional<quint32> number = value->dword())
        return QString::number(qint32(*number));
    return defaultValue;
}

QString programBaseName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void SaveWindowPos(RegistryStore &store, IPlacedWindow &form, IPrompter &prompter, const QString &programName)
{
    const QString section = form.formName();
    const auto save = [&](const QString &key, int number) {
        WriteAppSetting(
            store, programName, section, key, QString::number(number), RegRoot::LocalMachine, kDefaultPrefix);
    };
    const int state = form.windowState();
    save(QStringLiteral("WindowState"), state);
    if ((state == IPlacedWindow::Minimized || state == IPlacedWindow::Maximized)
        && !form.setWindowState(IPlacedWindow::Normal)) {
        showFailure(prompter, cannotPlace());
        return;
    }
    save(QStringLiteral("Top"), form.top());
    save(QStringLiteral("Left"), form.left());
    save(QStringLiteral("Height"), form.height());
    save(QStringLiteral("Width"), form.width());
}

void LoadWindowPos(
    const RegistryStore &store, IPlacedWindow &form, IPrompter &prompter, const QString &programName)
{
    const QString section = form.formName();
    struct Step {
        const char16_t *key;
        int (IPlacedWindow::*get)() const;
        bool (IPlacedWindow::*set)(int);
    };
    static constexpr Step kSteps[] = {
        { u"Top", &IPlacedWindow::top, &IPlacedWindow::setTop },
        { u"Left", &IPlacedWindow::left, &IPlacedWindow::setLeft },
        { u"Height", &IPlacedWindow::height, &IPlacedWindow::setHeight },
        { u"Width", &IPlacedWindow::width, &IPlacedWindow::setWidth },
        { u"WindowState", &IPlacedWindow::windowState, &IPlacedWindow::setWindowState },
    };
    for (const Step &step : kSteps) {
        const std::optional<Failure> failure
            = loadOne(store, programName, section, QString::fromUtf16(step.key), (form.*step.get)(),
                [&](int number) { return (form.*step.set)(number); });
        if (failure) {
            showFailure(prompter, *failure);
            return;
        }
    }
}

} // namespace th
