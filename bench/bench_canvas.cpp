// Drawing 10,000 textured 32x32 quads through the canvas, against the same quads sent by a bare
// GL program as one upload and one draw call. Both wait for the GPU (glFinish) every frame.
#include "BenchTime.h"
#include "platform/SdlWindow.h"
#include "render/GlCanvas.h"

#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1280, kHeight = 720, kQuads = 10000, kQuadSize = 32;

struct Scene {
    std::unique_ptr<bw::SdlWindow> window;
    std::unique_ptr<bw::GlCanvas> canvas;
    bw::TextureId tex[2] = {};
    std::vector<bw::TPoint2> pos;
    std::vector<bw::TColor> color;
};

Scene& GetScene() {
    static Scene scene = [] {
        Scene s;
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        std::string error;
        bw::WindowSettings ws;
        ws.clientWidth = kWidth;
        ws.clientHeight = kHeight;
        ws.visible = false;
        s.window = bw::SdlWindow::Create(ws, &error);
        if (!s.window) {
            std::fprintf(stderr, "no window: %s\n", error.c_str());
            std::exit(1);
        }
        s.canvas = bw::GlCanvas::Create(kWidth, kHeight, &error);
        std::vector<uint32_t> px(64 * 64);
        for (int t = 0; t < 2; ++t) {
            for (size_t i = 0; i < px.size(); ++i)
                px[i] = (i % 7 == 0) ? 0x00000000u : (t ? 0xFF40A0FFu : 0xFFFFB040u);
            s.tex[t] = s.canvas->CreateTexture(64, 64, px.data());
        }
        std::mt19937 rng(7);
        for (int i = 0; i < kQuads; ++i) {
            s.pos.push_back({static_cast<float>(rng() % (kWidth - kQuadSize)),
                             static_cast<float>(rng() % (kHeight - kQuadSize))});
            s.color.push_back(0xFF000000u | (rng() & 0xFFFFFFu));
        }
        return s;
    }();
    return scene;
}

// The canvas: quads of two textures, sorted so each texture's quads are consecutive.
void BM_CanvasQuads(benchmark::State& state) {
    Scene& s = GetScene();
    for (auto _ : state) {
        s.canvas->BeginFrame(0xFF000000);
        for (int t = 0; t < 2; ++t) {
            for (int i = t; i < kQuads; i += 2) {
                const bw::TPoint2 p = s.pos[static_cast<size_t>(i)];
                s.canvas->UseTexturePx(s.tex[t], bw::TRect{0, 0, 64, 64});
                s.canvas->TexMap(bw::TPoint4{bw::TPoint2{p.x, p.y},
                                             bw::TPoint2{p.x + kQuadSize, p.y},
                                             bw::TPoint2{p.x + kQuadSize, p.y + kQuadSize},
                                             bw::TPoint2{p.x, p.y + kQuadSize}},
                                 bw::TColor4(s.color[static_cast<size_t>(i)]), bw::beNormal);
            }
        }
        s.canvas->EndFrame();
        glFinish();
    }
    state.counters["draw_calls"] = s.canvas->FrameStats().drawCalls;
    state.counters["quads"] = kQuads;
}
BENCHMARK(BM_CanvasQuads)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(BenchTime(1.0));

// The same quads with a minimal shader, one upload and one draw call per frame.
void BM_BareGlQuads(benchmark::State& state) {
    Scene& s = GetScene();
    static const char* vsSrc = R"(#version 330 core
layout(location = 0) in vec2 aPos; layout(location = 1) in vec2 aUV; layout(location = 2) in vec4 aCol;
uniform vec2 uScreen; out vec2 vUV; out vec4 vCol;
void main() { vUV = aUV; vCol = aCol;
  gl_Position = vec4(aPos.x / uScreen.x * 2.0 - 1.0, 1.0 - aPos.y / uScreen.y * 2.0, 0.0, 1.0); })";
    static const char* fsSrc = R"(#version 330 core
uniform sampler2D uTex; in vec2 vUV; in vec4 vCol; out vec4 o;
void main() { vec4 c = texture(uTex, vUV) * vCol; if (c.a < 0.5 / 255.0) discard; o = c; })";
    auto compile = [](GLenum type, const char* src) {
        GLuint sh = glCreateShader(type);
        glShaderSource(sh, 1, &src, nullptr);
        glCompileShader(sh);
        return sh;
    };
    GLuint prog = glCreateProgram();
    glAttachShader(prog, compile(GL_VERTEX_SHADER, vsSrc));
    glAttachShader(prog, compile(GL_FRAGMENT_SHADER, fsSrc));
    glLinkProgram(prog);
    struct V {
        float x, y, u, v;
        uint32_t c;
    };
    std::vector<V> verts;
    std::vector<uint32_t> idx;
    for (int i = 0; i < kQuads; ++i) {
        const bw::TPoint2 p = s.pos[static_cast<size_t>(i)];
        const uint32_t c = s.color[static_cast<size_t>(i)];
        const auto b = static_cast<uint32_t>(verts.size());
        verts.push_back({p.x, p.y, 0, 0, c});
        verts.push_back({p.x + kQuadSize, p.y, 1, 0, c});
        verts.push_back({p.x + kQuadSize, p.y + kQuadSize, 1, 1, c});
        verts.push_back({p.x, p.y + kQuadSize, 0, 1, c});
        for (uint32_t k : {0u, 1u, 2u, 0u, 2u, 3u}) idx.push_back(b + k);
    }
    GLuint vao, vbo, ibo, tex;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(1, &vbo);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(V), nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(V), reinterpret_cast<void*>(8));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(V),
                          reinterpret_cast<void*>(16));
    glGenBuffers(1, &ibo);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, idx.size() * 4, idx.data(), GL_STATIC_DRAW);
    std::vector<uint32_t> px(64 * 64);
    for (size_t i = 0; i < px.size(); ++i) px[i] = (i % 7 == 0) ? 0u : 0xFFFFB040u;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 64, 64, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 px.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glUseProgram(prog);
    glUniform2f(glGetUniformLocation(prog, "uScreen"), kWidth, kHeight);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT);
        glBufferData(GL_ARRAY_BUFFER, verts.size() * sizeof(V), verts.data(), GL_STREAM_DRAW);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(idx.size()), GL_UNSIGNED_INT, nullptr);
        glFinish();
    }
    glDeleteTextures(1, &tex);
    glDeleteBuffers(1, &ibo);
    glDeleteBuffers(1, &vbo);
    glDeleteVertexArrays(1, &vao);
    glDeleteProgram(prog);
    state.counters["draw_calls"] = 1;
    state.counters["quads"] = kQuads;
}
BENCHMARK(BM_BareGlQuads)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(BenchTime(1.0));

} // namespace

BENCHMARK_MAIN();
