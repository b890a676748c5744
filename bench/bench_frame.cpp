// The time of one drawn frame of the busiest level against the floor of the renderer: the
// same frame's vertices, captured as the canvas sent them, drawn again by a bare GL program
// with one texture, one upload and one draw call. Both clear the surface first and wait for
// the device (glFinish); neither counts presenting the frame. The one texture is the one that
// covers the most pixels of the frame.
//
// Each level is played by the scripted player; every 30th tick's frame and the two after it
// are drawn, and the best of the three is the time of that frame.
// The busiest frame is the one with the most quads over all the levels played; its floor is
// the best of five bare replays, measured at once. Runs at 1920 x 1080 and at 1280 x 720.
//
// Usage: bench/bench_frame [LEVEL...]   (default: the last level of each location that has
// one). The data set is found beside CMakeCache.txt, or in BW_DATA. BW_BENCH_SMOKE plays a
// few hundred ticks of level 1 at the smaller size.
#include "app/Device.h"
#include "base/GameObjects.h"
#include "base/GameState.h"
#include "base/Scene.h"
#include "board/LevelData.h"
#include "data/KilnArchive.h"
#include "platform/Log.h"
#include "render/GlCanvas.h"
#include "replay/LevelPlayer.h"
#include "replay/Replay.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

double NowMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The bare program: the canvas's own projective mapping, nothing else.
class BareReplay {
public:
    BareReplay() {
        static const char* vs = R"(#version 330 core
layout(location = 0) in vec2 aPos; layout(location = 1) in vec3 aUVQ;
layout(location = 2) in vec4 aColor; uniform vec2 uScreen;
noperspective out vec3 vUVQ; noperspective out vec4 vColorQ;
void main() { vUVQ = aUVQ; vColorQ = aColor * aUVQ.z;
  gl_Position = vec4(aPos.x / uScreen.x * 2.0 - 1.0, 1.0 - aPos.y / uScreen.y * 2.0, 0.0, 1.0); })";
        static const char* fs = R"(#version 330 core
uniform sampler2D uTex; noperspective in vec3 vUVQ; noperspective in vec4 vColorQ;
out vec4 o;
void main() { vec4 c = texture(uTex, vUVQ.xy / vUVQ.z) * (vColorQ / vUVQ.z);
  if (c.a < 0.5 / 255.0) discard; o = c; })";
        program_ = glCreateProgram();
        for (auto [type, src] : {std::pair{GL_VERTEX_SHADER, vs}, {GL_FRAGMENT_SHADER, fs}}) {
            const GLuint sh = glCreateShader(type);
            glShaderSource(sh, 1, &src, nullptr);
            glCompileShader(sh);
            glAttachShader(program_, sh);
            glDeleteShader(sh);
        }
        glLinkProgram(program_);
        glGenVertexArrays(1, &vao_);
        glGenBuffers(1, &vbo_);
    }
    ~BareReplay() {
        glDeleteBuffers(1, &vbo_);
        glDeleteVertexArrays(1, &vao_);
        glDeleteProgram(program_);
    }

    // Replays of `capture` on the frame buffer bound now, the best of `runs` each, in ms. The
    // cost of a pixel depends on the picture it samples, and one call samples one: `fastest`
    // is the quickest with any of the frame's most used textures (by pixels covered and by
    // vertices), `typical` the one with the texture that covers most of the frame. The
    // canvas's bindings are put back afterwards, so that it can draw on.
    struct Floors {
        double fastest = 0, typical = 0;
    };
    Floors Time(const bw::GlCanvas::DrawCapture& capture, bw::TPoint2px size, int runs) {
        using V = bw::GlCanvas::Vertex;
        std::map<unsigned, double> area;
        std::map<unsigned, size_t> vertices;
        size_t from = 0;
        for (const auto& [t, count] : capture.draws) {
            for (size_t i = from; i + 3 <= from + count; i += 3) {
                const V& a = capture.vertices[i];
                const V& b = capture.vertices[i + 1];
                const V& c = capture.vertices[i + 2];
                area[t] += std::fabs((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y));
            }
            vertices[t] += count;
            from += count;
        }
        const auto top = [](const auto& by, size_t n) {
            std::vector<std::pair<double, unsigned>> order;
            for (const auto& [t, amount] : by) order.emplace_back(static_cast<double>(amount), t);
            std::sort(order.rbegin(), order.rend());
            std::vector<unsigned> out;
            for (size_t i = 0; i < order.size() && i < n; ++i) out.push_back(order[i].second);
            return out;
        };
        std::vector<unsigned> candidates = top(area, 4);
        for (unsigned t : top(vertices, 4))
            if (std::find(candidates.begin(), candidates.end(), t) == candidates.end())
                candidates.push_back(t);
        GLint oldProgram = 0, oldVao = 0, oldBuffer = 0, oldTexture = 0;
        GLint blend[4] = {};
        glGetIntegerv(GL_CURRENT_PROGRAM, &oldProgram);
        glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &oldVao);
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &oldBuffer);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &oldTexture);
        glGetIntegerv(GL_BLEND_SRC_RGB, &blend[0]);
        glGetIntegerv(GL_BLEND_DST_RGB, &blend[1]);
        glGetIntegerv(GL_BLEND_SRC_ALPHA, &blend[2]);
        glGetIntegerv(GL_BLEND_DST_ALPHA, &blend[3]);
        const bool scissor = glIsEnabled(GL_SCISSOR_TEST);

        glUseProgram(program_);
        glUniform2f(glGetUniformLocation(program_, "uScreen"), static_cast<float>(size.x),
                    static_cast<float>(size.y));
        glUniform1i(glGetUniformLocation(program_, "uTex"), 0);
        glBindVertexArray(vao_);
        glBindBuffer(GL_ARRAY_BUFFER, vbo_);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(V),
                              reinterpret_cast<void*>(offsetof(V, x)));
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, sizeof(V),
                              reinterpret_cast<void*>(offsetof(V, u)));
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(V),
                              reinterpret_cast<void*>(offsetof(V, color)));
        glActiveTexture(GL_TEXTURE0);
        glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
        glDisable(GL_SCISSOR_TEST);
        Floors floors{1e300, 0};
        for (const unsigned texture : candidates) {
            glBindTexture(GL_TEXTURE_2D, texture);
            glFinish();
            double best = 1e300;
            for (int r = 0; r < runs; ++r) {
                const double t0 = NowMs();
                glClear(GL_COLOR_BUFFER_BIT);
                glBufferData(GL_ARRAY_BUFFER,
                             static_cast<GLsizeiptr>(capture.vertices.size() * sizeof(V)),
                             capture.vertices.data(), GL_STREAM_DRAW);
                glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(capture.vertices.size()));
                glFinish();
                best = std::min(best, NowMs() - t0);
            }
            floors.fastest = std::min(floors.fastest, best);
            if (texture == candidates.front()) floors.typical = best;
        }

        if (scissor) glEnable(GL_SCISSOR_TEST);
        glBlendFuncSeparate(static_cast<GLenum>(blend[0]), static_cast<GLenum>(blend[1]),
                            static_cast<GLenum>(blend[2]), static_cast<GLenum>(blend[3]));
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(oldTexture));
        glBindVertexArray(static_cast<GLuint>(oldVao));
        glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(oldBuffer));
        glUseProgram(static_cast<GLuint>(oldProgram));
        return floors;
    }

private:
    GLuint program_ = 0, vao_ = 0, vbo_ = 0;
};

struct Busiest {
    int level = 0;
    uint64_t tick = 0;
    uint32_t quads = 0, drawCalls = 0;
    double frameMs = 0;
    BareReplay::Floors floor;
    int framesTimed = 0;
};

// Plays `levels` at `size` and keeps the busiest frame drawn.
Busiest Measure(const std::string& data, const std::vector<int>& levels, bw::TPoint2px size,
                uint64_t ticks) {
    Busiest best;
    for (int level : levels) {
        bw::GlCanvas::DrawCapture capture;
        std::unique_ptr<BareReplay> bare;
        bw::GlCanvas* gl = nullptr;
        double t0 = 0;
        bw::LevelRunSettings s;
        s.data = data;
        s.level = level;
        s.ticks = ticks;
        s.size = size;
        // Every 30th tick and the two after it are drawn: the frame's time is the best of the
        // three (one frame alone is at the mercy of the machine), its vertices the first's.
        constexpr uint64_t kEvery = 30, kRepeats = 3;
        double groupMs = 0;
        bw::Canvas::Stats groupStats;
        s.drawAt = [&](uint64_t tick) {
            if (bw::CurrentScene != bw::scene_Level || tick % kEvery >= kRepeats || !bw::Device)
                return false;
            gl = dynamic_cast<bw::GlCanvas*>(bw::Device->GetCanvas());
            if (!gl) return false;
            if (tick % kEvery == 0) {
                capture.vertices.clear();
                capture.draws.clear();
                gl->SetDrawCapture(&capture);
            }
            t0 = NowMs();
            return true;
        };
        s.afterDraw = [&](bw::Canvas& canvas, uint64_t tick) {
            if (!gl || &canvas != gl) return;
            glFinish();
            const double ms = NowMs() - t0;
            gl->SetDrawCapture(nullptr);
            ++best.framesTimed;
            if (tick % kEvery == 0) {
                groupMs = ms;
                groupStats = canvas.FrameStats();
            } else {
                groupMs = std::min(groupMs, ms);
            }
            if (tick % kEvery != kRepeats - 1 || groupStats.quads <= best.quads) return;
            if (!bare) bare = std::make_unique<BareReplay>();
            best = Busiest{level,
                           tick - (kRepeats - 1),
                           groupStats.quads,
                           groupStats.drawCalls,
                           groupMs,
                           bare->Time(capture, canvas.Size(), 5),
                           best.framesTimed};
        };
        const bw::LevelRun run = bw::PlayLevel(s);
        bare.reset();
        if (!run.started) std::fprintf(stderr, "bench_frame: level %d did not start\n", level);
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    std::string data;
    if (const char* d = std::getenv("BW_DATA")) data = d;
    if (data.empty()) data = bw::ReplayDataFolder();
    if (data.empty()) {
        std::puts("bench_frame: no built data set");
        return 1;
    }
    bw::SetLogListener([](const std::string&) {});
    const bool smoke = std::getenv("BW_BENCH_SMOKE") != nullptr;
    std::vector<int> levels;
    for (int i = 1; i < argc; ++i)
        if (const int n = std::atoi(argv[i]); n > 0) levels.push_back(n);
    if (levels.empty() && smoke) levels.push_back(1);
    if (levels.empty()) {
        // The last level of each location that has a file.
        bw::TKilnArchive common, files;
        bw::TLevelsList list;
        if (!common.OpenFile(data + "/" + bw::LevelsListArchiveName) ||
            !files.OpenFile(data + "/tData_Levels.dan") ||
            !bw::LoadLevelsList(bw::LevelsListKey, &common, list)) {
            std::puts("bench_frame: no level list in the data set");
            return 1;
        }
        std::map<int, int> lastOf;
        for (size_t i = 0; i < list.size(); ++i)
            if (files.IndexOf(list[i].FileName + ".xml") >= 0)
                lastOf[list[i].Location] = static_cast<int>(i) + 1;
        for (const auto& [location, level] : lastOf) levels.push_back(level);
    }
    std::vector<bw::TPoint2px> sizes = {{1920, 1080}, {1280, 720}};
    if (smoke) sizes = {{1280, 720}};
    bool ok = true;
    for (const bw::TPoint2px size : sizes) {
        const Busiest b = Measure(data, levels, size, smoke ? 600 : 3600);
        if (b.quads == 0) {
            std::printf("bench_frame: no frame of a level was drawn at %dx%d\n", size.x, size.y);
            ok = false;
            continue;
        }
        std::printf("%dx%d: busiest frame: level %d tick %llu, %u quads in %u draw calls "
                    "(%d frames timed)\n",
                    size.x, size.y, b.level, static_cast<unsigned long long>(b.tick), b.quads,
                    b.drawCalls, b.framesTimed);
        std::printf("%dx%d: frame %.1f ms, floor %.1f ms, frame / floor %.2f (target at most "
                    "1.50); with the texture covering most of it %.1f ms, frame / that %.2f\n",
                    size.x, size.y, b.frameMs, b.floor.fastest, b.frameMs / b.floor.fastest,
                    b.floor.typical, b.frameMs / b.floor.typical);
    }
    return ok ? 0 : 1;
}
