#include "controller/views/graph_render_command.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QString>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "code/loader.h"
#include "code/step.h"
#include "controller/views/graph_renderer.h"
#include "platform/string_table.h"

namespace korvex {

namespace {

constexpr int kExitLoadFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kDefaultWidth = 1200, kDefaultHeight = 800;
constexpr int kMaxSide = 16384;

struct RenderOptions {
    std::string program, out;
    int width = kDefaultWidth, height = kDefaultHeight;
    long zoom = 0;
    long machined = -1;
    Language language = Language::English;
};

int usage(const char* why) {
    std::fprintf(stderr, "korvex --render: %s\nusage: korvex --render PROGRAM --out FILE.png [--size WxH] "
                         "[--zoom N] [--machined K] [--lang en|zh]\n", why);
    return kExitUsage;
}

bool parseLong(const char* text, long& out) {
    char* end = nullptr;
    out = std::strtol(text, &end, 10);
    return end != text && *end == '\0';
}

std::optional<int> parse(int argc, char** argv, RenderOptions& o) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        auto need = [&]() -> bool { return value != nullptr; };
        if (!std::strcmp(arg, "--render") || !std::strcmp(arg, "--out") || !std::strcmp(arg, "--size") ||
            !std::strcmp(arg, "--zoom") || !std::strcmp(arg, "--machined") || !std::strcmp(arg, "--lang")) {
            if (!need())
                return usage((std::string(arg) + " needs a value").c_str());
            ++i;
        } else {
            return usage((std::string("unknown argument ") + arg).c_str());
        }
        if (!std::strcmp(arg, "--render")) {
            o.program = value;
        } else if (!std::strcmp(arg, "--out")) {
            o.out = value;
        } else if (!std::strcmp(arg, "--size")) {
            int w = 0, h = 0;
            char x = 0, extra = 0;
            if (std::sscanf(value, "%d%c%d%c", &w, &x, &h, &extra) != 3 || (x != 'x' && x != 'X') || w < 1 || h < 1 ||
                w > kMaxSide || h > kMaxSide)
                return usage("--size wants WxH, each 1 to 16384");
            o.width = w;
            o.height = h;
        } else if (!std::strcmp(arg, "--zoom")) {
            if (!parseLong(value, o.zoom) || o.zoom < -100000 || o.zoom > 100000)
                return usage("--zoom wants a whole number of steps");
        } else if (!std::strcmp(arg, "--machined")) {
            if (!parseLong(value, o.machined) || o.machined < 0)
                return usage("--machined wants a segment count of 0 or more");
        } else {
            const std::optional<Language> lang = parseLanguage(QString::fromLocal8Bit(value));
            if (!lang)
                return usage("--lang wants en or zh");
            o.language = *lang;
        }
    }
    if (o.out.empty())
        return usage("--out is missing");
    return std::nullopt;
}

}  // namespace

std::optional<int> answerRenderOption(int& argc, char** argv) {
    bool asked = false;
    for (int i = 1; i < argc; ++i)
        asked |= !std::strcmp(argv[i], "--render");
    if (!asked)
        return std::nullopt;
    RenderOptions o;
    if (const std::optional<int> bad = parse(argc, argv, o))
        return bad;
    // Fonts for the texts, but never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    installTranslations(o.language);

    auto program = std::make_shared<LoadedProgram>();
    LoadFailure failure;
    if (loadProgram(o.program.c_str(), LoadOptions{}, *program, failure) != 0) {
        std::fputs(failure.message.c_str(), stderr);
        if (failure.message.empty() || failure.message.back() != '\n')
            std::fputc('\n', stderr);
        return kExitLoadFailed;
    }
    if (program->segments.empty()) {
        std::fputs("The program has no segment to draw.\n", stderr);
        return kExitLoadFailed;
    }
    if (const int32_t bad = firstUndrawableSegment(*program); bad >= 0) {
        std::fprintf(stderr, "Graph draw failed!\nCode:line %3d\n", bad);
        return kExitLoadFailed;
    }

    GraphScene scene;
    scene.program = std::make_shared<const GraphProgram>(program, 0);
    scene.mapping.resize(o.width, o.height);
    const Extents& e = program->extents;
    scene.mapping.setExtents({e.minX, e.minY, e.maxX, e.maxY});
    scene.mapping.fit();
    for (long i = 0; i < std::labs(o.zoom); ++i) {
        if (o.zoom > 0)
            scene.mapping.zoomIn(o.width / 2, o.height / 2);
        else
            scene.mapping.zoomOut(o.width / 2, o.height / 2);
    }
    if (o.machined >= 0) {
        const int32_t n = scene.program->count();
        scene.range = {0, n - 1, false};
        // K past the last segment: the whole program is done, the last one to its end.
        const bool done = o.machined >= n;
        const int32_t current = done ? n - 1 : static_cast<int32_t>(o.machined);
        const PathElement& lower = program->segments[static_cast<std::size_t>(current)].lower;
        const PathElement& upper = program->segments[static_cast<std::size_t>(current)].upper;
        const StepState l = done ? endCursor(lower) : freshCursor(lower), u = done ? endCursor(upper) : freshCursor(upper);
        WorkParams work;
        work.segment = current;
        work.lower = {l.steps, l.x, l.y};
        work.upper = {u.steps, u.x, u.y};
        scene.progress = progressFromWork(*scene.program, scene.range, work, 0);
    }

    QElapsedTimer timer;
    timer.start();
    const QImage image = renderGraph(scene);
    const double drawMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    if (!image.save(QString::fromLocal8Bit(o.out.c_str()), "PNG")) {
        std::fprintf(stderr, "korvex --render: cannot write %s\n", o.out.c_str());
        return kExitLoadFailed;
    }
    const GraphMapping& m = scene.mapping;
    std::printf("scale=%lld\nlevel=%d\noriginX=%lld\noriginY=%lld\ndrawMs=%.1f\n", static_cast<long long>(m.scale()),
                m.level(), static_cast<long long>(m.originX()), static_cast<long long>(m.originY()), drawMs);
    return 0;
}

}  // namespace korvex
