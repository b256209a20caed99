#pragma once

#include <QObject>
#include <QProcess>
#include <QString>

class QTimer;

// Turns the saved recording test.wav into the finished MP3: starts the
// encoder `lame` from the program folder without waiting for it, watches its
// output Z.mp3 once a second (`Timer3`) and, once the encoder has exited and
// its ID3v1 tag is there, writes the comment into the tag and gives the file
// its place: Media/<task name>, or the user's chosen name with ".mp3".
//
// Never replaces an existing file; a missing or failing encoder ends the
// watch with a hint and keeps test.wav.
class EncoderPipeline : public QObject
{
    Q_OBJECT
public:
    static const QString kAlbum;          // "Ola-Brenvik"
    static const QString kDefaultComment; // "Без_комментарий."
    static constexpr int kRecordIntoFile = 100; // panelMode of "record into a file"

    // `driveRoot` is the scratch folder with its trailing '/'.
    EncoderPipeline(const QString& programFolder, const QString& driveRoot,
                    QObject* parent = nullptr);
    ~EncoderPipeline() override;

    // The comment the encoder gets for the text of txtKoment.
    static QString commentFor(const QString& text);
    // The encoder's argument list (the exact option line, one argument each).
    static QStringList encoderArguments(const QString& comment, const QString& input,
                                        const QString& output);

    // Starts the encoder on test.wav. `panelMode` 100 sends the result to
    // `saveTarget` + ".mp3"; otherwise to Media/ under the last 25 characters
    // of `imyFileMp3` (drive root + task name). Call startWatch() next.
    void startEncoder(const QString& comment, int panelMode, const QString& saveTarget,
                      const QString& imyFileMp3);
    // Enables Timer3.
    void startWatch();
    // One watch tick (Timer3); public so tests can step it.
    void tick();

    bool isWatching() const;
    QTimer* timer3() const { return m_timer3; }
    QString inputPath() const { return m_driveRoot + QStringLiteral("test.wav"); }
    QString outputPath() const { return m_driveRoot + QStringLiteral("Z.mp3"); }
    QString encoderPath() const { return m_programFolder + QStringLiteral("/lame"); }

signals:
    // In this order when the watch ends (finished or failed):
    void controlButtonNormal();                  // picOK item 0 to the front
    void imyFileMp3Reset(const QString& driveRoot);
    void hint(const QString& text);              // lbHelp: "Запись сохранена." or the trouble
    void showMenu();                             // fraMeny to the front
    // Then one of these:
    void saved(const QString& path);
    void failed(const QString& reason);

private:
    void finish();
    void fail(const QString& reason);
    static QString shown(const QString& path);
    void wrapUp(const QString& hintText);
    QString freeName(const QString& wanted) const;

    QString m_programFolder;
    QString m_driveRoot;
    QTimer* m_timer3;
    QProcess* m_process = nullptr;
    QString m_comment;
    int m_panelMode = 0;
    QString m_saveTarget;
    QString m_imyFileMp3;
};
