#pragma once

#include "filedialogrunner.h"

#include <QString>

class QWidget;

// A small wrapper around the open and save dialogs with the properties of the
// classic common-dialog control: set Filter, FileName, InitDir and friends,
// call ShowOpen or ShowSave, read FileName and FileTitle.
class CdlOpenSave
{
public:
    // Outcome of a dialog. Cancel is reported only when CancelError is set;
    // InvalidFileName when the proposed FileName is longer than the dialog's
    // 255-character buffer (no dialog is shown then).
    enum class Result { Ok, Cancelled, CancelError, InvalidFileName };

    // Option bits of the dialog record that the Qt dialog honours.
    static constexpr int kOverwritePrompt = 0x2;
    static constexpr int kFileMustExist = 0x1000;
    // Hook and template options, always removed before use.
    static constexpr int kRemovedFlags = 0x20 | 0x40 | 0x80;
    static constexpr int kMaxPath = 255;

    explicit CdlOpenSave(FileDialogRunner runner = runFileDialog);

    // 1 runs ShowOpen, 2 ShowSave; other values do nothing and return Ok.
    Result setAction(int action);

    bool CancelError() const { return m_cancelError; }
    void setCancelError(bool on) { m_cancelError = on; }
    QWidget* hOwner() const { return m_owner; }
    void sethOwner(QWidget* owner) { m_owner = owner; }
    int flags() const { return m_flags; }
    void setflags(int flags) { m_flags = flags; }
    QString DialogTitle() const { return m_dialogTitle; }
    QString DefaultExt() const { return m_defaultExt; }
    void setDefaultExt(const QString& ext) { m_defaultExt = ext; }
    QString FileName() const { return m_fileName; }
    void setFileName(const QString& name) { m_fileName = name; }
    QString FileTitle() const { return m_fileTitle; }
    void setFileTitle(const QString& title) { m_fileTitle = title; }
    QString Filter() const { return m_filter; }
    void setFilter(const QString& filter) { m_filter = filter; }
    int FilterIndex() const { return m_filterIndex; }
    void setFilterIndex(int index) { m_filterIndex = index; }
    QString InitDir() const { return m_initDir; }
    void setInitDir(const QString& dir) { m_initDir = dir; }

    Result ShowOpen();
    Result ShowSave();

    // The dialog request the current properties make.
    FileDialogRequest PrepareDialog(FileDialogRequest::Kind kind) const;

    // "Description|pattern|Description|pattern" as Qt name filters. A lone
    // last part (such as just "*.mp3") serves as description and pattern.
    static QStringList splitFilter(const QString& filter);

    // Name without folder of the file chosen in the last successful save
    // dialog of any CdlOpenSave (other parts of the window read it).
    static QString lastSaveTitle();

private:
    Result show(FileDialogRequest::Kind kind);

    FileDialogRunner m_runner;
    bool m_cancelError = false;
    QWidget* m_owner = nullptr;
    int m_flags = 0;
    QString m_dialogTitle;
    QString m_defaultExt;
    QString m_fileName;
    QString m_fileTitle;
    QString m_filter;
    int m_filterIndex = 0;
    QString m_initDir;
};

// The save dialog of "record into a file": "*.mp3" files, no name yet,
// starting in the current folder. The name chosen, or empty when the user
// cancelled.
QString AskRecordingTarget(CdlOpenSave& dialog, QWidget* owner);
