#pragma once

#include <QWidget>

class Chart;
class QFrame;
class QLabel;
class QPlainTextEdit;
class StatAccumulators;

// The "Overhang" page: the space the counted files would waste in partly filled clusters of
// 4K to 64K, with an arrow at the drive's own cluster size.
class OverhangPage : public QWidget {
    Q_OBJECT

public:
    explicit OverhangPage(QWidget *parent = nullptr);

    // Fills the page; false when no bytes were counted (the page is then to be disabled).
    bool doOverHang(const StatAccumulators &stats, qint32 clusterSize);
    void drawClusterArrow(qint32 clusterSize);
    // The row of the arrow (0 for 4K ... 4 for 64K), or -1 when it is hidden.
    int arrowRow() const;

    Chart *chartWaste;
    QLabel *lblArrow;
    QLabel *lblWasted[5];
    QFrame *pnlResult;
    QLabel *lblFiles;
    QLabel *lblTotal;
    QLabel *lblActual;
    QPlainTextEdit *memoNotes;
    QLabel *pnlNotApplicable;

    static QPixmap arrowPicture();
    // Title and note for the file system of the drive analysed: the FAT texts for FAT (or an
    // unknown file system), texts of its own allocation unit for any other.
    void setFileSystem(const QString &fileSystem);
    QLabel *lblTitle;
    QLabel *lblFatHeadings[2];

private:
    void placeResultStrip();

    QString m_fatNote;

    static constexpr int firstRowTop = 52;

public:
    static constexpr int rowHeight = 24;
};
