#include "PrintTarget.h"

#include "PagePrinter.h"
#include "widgets/Chart.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {

class DialogPrintTarget final : public PrintTarget {
public:
    bool choosePrinter(QPrinter &printer, QWidget *parent) override
    {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }

    void previewChart(const Chart &chart, const QString &title, QWidget *parent) override
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageOrientation(QPageLayout::Landscape);
        QPrintPreviewDialog preview(&printer, parent);
        QObject::connect(
            &preview, &QPrintPreviewDialog::paintRequested, &preview,
            [&chart, &title](QPrinter *target) { PagePrinter::printChart(*target, chart, title); });
        preview.exec();
    }
};

DialogPrintTarget dialogs;
PrintTarget *installed = &dialogs;

} // namespace

PrintTarget &PrintTarget::current()
{
    return *installed;
}

void PrintTarget::install(PrintTarget *target)
{
    installed = target ? target : &dialogs;
}
