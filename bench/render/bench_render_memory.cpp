// The memory a picture export takes as the page grows: pages of about 10,000
// and 100,000 rows (divider bars, tables, gradients and text, 750 wide),
// exported as JPEG pictures 1500 wide, the largest width. Prints for each the
// growth of this process's peak resident memory during the export (the
// browser engine draws in processes of its own, which are not counted).
// Linux only: the peak is read from /proc/self/status after resetting it
// through /proc/self/clear_refs. Run build/bench/render/bench_render_memory.

#include "render/pictureexport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace orv::render;

namespace {

// The entries of a page of about `height` rows, each about 600 rows high.
QStringList entries(int height)
{
    QStringList list;
    for (int i = 0; i * 600 < height; ++i) {
        switch (i % 4) {
        case 0:
            list.append(u"<div style=\"width:750px;height:600px;background:#f3f3f3\"><div style=\"height:40px;"
                        "line-height:40px;font-size:16px;padding:0 30px;background:#c0c0c0;color:#fff\">"
                        "产品参数 %1</div></div>"_s.arg(i));
            break;
        case 1: {
            QString table = u"<table style=\"width:750px;height:600px;border-collapse:collapse;font-size:14px\">"_s;
            for (int row = 0; row < 15; ++row)
                table += u"<tr><td style=\"border:1px solid #ccc\">参数 %1</td>"
                         "<td style=\"border:1px solid #ccc\">数值</td></tr>"_s.arg(row);
            list.append(table + u"</table>"_s);
            break;
        }
        case 2:
            list.append(u"<div style=\"width:750px;height:600px;background:linear-gradient(#%1, #fff)\"></div>"_s.arg(
                QString::number(0x305070 + (i % 16) * 0x0a0b0c, 16)));
            break;
        default: {
            QString text = u"<div style=\"width:750px;height:600px;font-size:16px;line-height:30px\">"_s;
            for (int line = 0; line < 20; ++line)
                text += u"购买须知第 %1 条：请在收到商品后核对尺码与颜色。<br>"_s.arg(line);
            list.append(text + u"</div>"_s);
        }
        }
    }
    return list;
}

// A line of /proc/self/status in MiB ("VmHWM", "VmRSS"); -1 when unknown.
double statusMiB(const QByteArray &name)
{
    QFile file(u"/proc/self/status"_s);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return -1;
}

bool resetPeak()
{
    QFile file(u"/proc/self/clear_refs"_s);
    return file.open(QIODevice::WriteOnly) && file.write("5") == 1;
}

} // namespace

int main(int argc, char *argv[])
{
    prepareRenderProcess(true);
    QGuiApplication app(argc, argv);
    {
        QTemporaryDir warm; // starts the engine once
        exportPictures(PageSource{entries(3000), {}, 750}, warm.path(), ExportOptions{1500});
    }
    if (!resetPeak()) {
        std::fprintf(stderr, "cannot reset the peak resident memory here (Linux only)\n");
        return 1;
    }
    for (const int height : {10000, 100000}) {
        QTemporaryDir dir;
        resetPeak();
        const double before = statusMiB("VmRSS");
        QElapsedTimer timer;
        timer.start();
        const ExportResult result = exportPictures(PageSource{entries(height), {}, 750}, dir.path(),
                                                   ExportOptions{1500, PictureFormat::Jpeg});
        const double seconds = double(timer.elapsed()) / 1000;
        int rows = 0;
        for (const PictureFile &picture : result.pictures)
            rows += picture.size.height();
        std::printf("page of %d rows at 1500: %lld pictures of %d rows in %.1f s; "
                    "peak resident memory %.0f MiB above the %.0f MiB before\n",
                    rows * 750 / 1500, static_cast<long long>(result.pictures.size()), rows, seconds,
                    statusMiB("VmHWM") - before, before);
    }
    return 0;
}
