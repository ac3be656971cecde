#include "Messages.h"

#include <cstdio>

namespace {

class StandardErrorMessages final : public Messages {
public:
    void beep() override {}
    void errorBox(const QString &text) override { write("Error", text); }
    void infoBox(const QString &text) override { write("Information", text); }
    // Nobody can answer here, so nothing is confirmed.
    bool confirm(const QString &text) override
    {
        write("Confirm", text);
        return false;
    }

private:
    static void write(const char *caption, const QString &text)
    {
        std::fprintf(stderr, "%s: %s\n", caption, text.toLocal8Bit().constData());
    }
};

StandardErrorMessages standardError;
Messages *installed = &standardError;

} // namespace

Messages &Messages::current()
{
    return *installed;
}

void Messages::install(Messages *messages)
{
    installed = messages ? messages : &standardError;
}
