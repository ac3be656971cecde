#pragma once

#include <QStyledItemDelegate>

// A cell drawn as a bar of a share (0 to 1, read from role) with its text over it.
class ShareBarDelegate : public QStyledItemDelegate {
public:
    explicit ShareBarDelegate(int role, QObject *parent = nullptr)
        : QStyledItemDelegate(parent), m_role(role)
    {
    }
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    int m_role;
};
