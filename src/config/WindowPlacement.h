#pragma once

#include <QString>

#include "store/RegValue.h"

namespace th {

class IPrompter;
class RegistryStore;

// A window whose placement the store keeps (the pop-up clock): its form name, its state and
// its geometry in twips (15 twips a pixel). A setter returns false when the window cannot
// take the value now.
class IPlacedWindow {
public:
    enum State { Normal = 0, Minimized = 1, Maximized = 2 };

    virtual ~IPlacedWindow() = default;

    virtual QString formName() const = 0;
    virtual int windowState() const = 0;
    virtual bool setWindowState(int state) = 0;
    virtual int top() const = 0;
    virtual bool setTop(int twips) = 0;
    virtual int left() const = 0;
    virtual bool setLeft(int twips) = 0;
    virtual int height() const = 0;
    virtual bool setHeight(int twips) = 0;
    virtual int width() const = 0;
    virtual bool setWidth(int twips) = 0;
};

// Error codes the window operations show, stable per kind.
namespace PlacementError {
inline constexpr int NotANumber = 201;
inline constexpr int CannotPlace = 202;
} // namespace PlacementError

// Writes a string value (with one terminating NUL in its data) under the key made of
// `prefix`, `programName` and `section` joined with backslashes (empty parts skipped),
// creating the key. False when anything fails.
bool WriteAppSetting(RegistryStore &store, const QString &programName, const QString &section,
    const QString &key, const QString &text, RegRoot root, const QString &prefix);

// Reads the value WriteAppSetting wrote: a string value's text (without its terminating
// NUL) or a 32-bit number's decimal text; anything else gives `defaultValue`.
QString ReadAppSetting(const RegistryStore &store, const QString &programName, const QString &section,
    const QString &key, const QString &defaultValue, RegRoot root, const QString &prefix);

// The running program's file base name, under which window placements are kept.
QString programBaseName();

// Keeps a window's placement under HKEY_LOCAL_MACHINE\SOFTWARE\<program>\<form name>:
// "WindowState", then (after bringing a minimised or maximised window back to normal, so
// that the sizes are those of the normal window) "Top", "Left", "Height" and "Width".
// The first error stops it and shows "Error <number>", two line breaks and its description.
void SaveWindowPos(RegistryStore &store, IPlacedWindow &form, IPrompter &prompter,
    const QString &programName = programBaseName());

// Reads and applies at once "Top", "Left", "Height", "Width" (each defaulting to the
// window's current value), then "WindowState". Errors as for SaveWindowPos.
void LoadWindowPos(const RegistryStore &store, IPlacedWindow &form, IPrompter &prompter,
    const QString &programName = programBaseName());

} // namespace th
