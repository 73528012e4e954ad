// Renders a 20-entry page like the modules make (divider bars, tables, text and
// coloured picture blocks; no remote pictures) and exports it as pictures at
// the page width and at 1242, printing the time per output picture. Run
// build/bench/render/bench_render; it needs no display.

#include "render/pictureexport.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;
using namespace orv::render;

namespace {

QStringList entries()
{
    QStringList list;
    for (int i = 0; i < 20; ++i) {
        switch (i % 4) {
        case 0:
            list.append(
                u"<div style=\"width:750px;height:40px;background-color:#F3F3F3;line-height:40px;"
                "font-size:16px;border-bottom:#8080FF 2px solid;margin:10px 0\"><div style=\"float:left;"
                "height:40px;padding:0 30px;background-color:#c0c0c0;color:#fff\">产品参数 %1</div></div>"_s.arg(i));
            break;
        case 1: {
            QString table = u"<table style=\"width:750px;border-collapse:collapse;font-size:14px\">"_s;
            for (int row = 0; row < 15; ++row)
                table += u"<tr><td style=\"border:1px solid #ccc;padding:8px\">参数 %1</td>"
                         "<td style=\"border:1px solid #ccc;padding:8px\">数值</td></tr>"_s.arg(row);
            list.append(table + u"</table>"_s);
            break;
        }
        case 2:
            list.append(u"<div style=\"width:750px;height:900px;background:linear-gradient(#%1, #fff)\"></div>"_s.arg(
                QString::number(0x305070 + i * 0x0a0b0c, 16)));
            break;
        default: {
            QString text = u"<div style=\"width:750px;font-size:16px;line-height:30px\">"_s;
            for (int line = 0; line < 20; ++line)
                text += u"购买须知第 %1 条：请在收到商品后核对尺码与颜色。<br>"_s.arg(line);
            list.append(text + u"</div>"_s);
        }
        }
    }
    return list;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    prepareRenderProcess(true);
    QGuiApplication app(argc, argv);
    const PageSource source{entries(), {}, 750};
    renderPage(source); // starts the engine once

    constexpr int rounds = 5;
    std::vector<double> renderMs;
    RenderedPage page;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        page = renderPage(source);
        renderMs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("page: %d x %d pixels, %lld entries\n", page.image.width(), page.image.height(),
                static_cast<long long>(page.entries.size()));
    std::printf("render: %.0f ms (median of %d)\n", median(renderMs), rounds);

    for (const int width : {750, 1242}) {
        std::vector<double> exportMs;
        qsizetype pictures = 0;
        for (int round = 0; round < rounds; ++round) {
            QTemporaryDir dir;
            QElapsedTimer timer;
            timer.start();
            ExportResult result;
            writePictures(page, dir.path(), ExportOptions{width, PictureFormat::Jpeg}, result);
            exportMs.push_back(double(timer.nsecsElapsed()) / 1e6);
            pictures = result.pictures.size();
        }
        const double ms = median(exportMs);
        std::printf("width %d: %lld JPEG pictures; cut, encode and write %.0f ms; "
                    "with the render %.0f ms per picture\n",
                    width, static_cast<long long>(pictures), ms, (ms + median(renderMs)) / double(pictures));
    }
    return 0;
}
