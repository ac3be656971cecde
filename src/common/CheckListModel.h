#pragma once

#include <QAbstractListModel>
#include <QStringList>

// Rows of text, each with a check mark: the data behind a pick list.
class CheckListModel : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void clear();
    void addRow(const QString &text, bool checked = false);
    QString rowText(int row) const { return m_rows.value(row); }
    QStringList rows() const { return m_rows; }
    int indexOf(const QString &text) const { return int(m_rows.indexOf(text)); }

    bool isChecked(int row) const;
    // Row -1 stands for every row.
    void setChecked(int row, bool checked);
    QStringList checkedRows() const;

private:
    QStringList m_rows;
    QList<bool> m_checked;
};
