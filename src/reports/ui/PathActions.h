#pragma once

#include <QByteArray>
#include <QObject>

class QAction;
class QBoxLayout;
class QMenu;
class QPushButton;
class QWidget;

// What a window of files and folders does with the one picked: open it with the desktop's
// default application, show it in the file manager, copy its path, move it to the trash. As
// buttons for a row of them, and as the same actions for a context menu; nothing goes through a
// shell, and nothing is ever deleted for good.
class PathActions : public QObject {
    Q_OBJECT

public:
    explicit PathActions(QWidget *window);

    // The item picked: its whole path (the file system's bytes), its bytes and whether it is a
    // folder; an empty path picks nothing and the actions are off.
    void setPicked(const QByteArray &path, qint64 bytes, bool folder);
    const QByteArray &picked() const { return m_path; }
    // A list where nothing may go to the trash (folders that could not be read).
    void setTrashAllowed(bool allowed);
    void addButtonsTo(QBoxLayout *row);
    // A menu of the actions, for a context menu at the picked item.
    QMenu *menu() const { return m_menu; }

    bool open();
    bool showInFileManager();
    void copyPath();
    // Asks first (the item and its size named, No the default); true once it is in the trash.
    bool moveToTrash();

    QPushButton *btOpen;
    QPushButton *btShow;
    QPushButton *btCopyPath;
    QPushButton *btTrash;

Q_SIGNALS:
    void trashed(const QByteArray &path, qint64 bytes);

private:
    void update();

    QWidget *m_window;
    QMenu *m_menu;
    QAction *m_trashAction;
    QByteArray m_path;
    qint64 m_bytes = 0;
    bool m_folder = false;
    bool m_trashAllowed = true;
};
