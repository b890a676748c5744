#include "render/GlCanvas.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace bw {

namespace {

constexpr size_t kMaxQuads = 16384; // 65536 vertices: every index fits 16 bits
constexpr size_t kMaxVertices = kMaxQuads * 4;
// The vertex buffer holds several batches one after the other; only when it is full is its
// store replaced (the driver keeps the old one for the draws still reading it).
constexpr size_t kRingVertices = kMaxVertices * 4;

const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec2 aPos;
layout(location = 1) in vec3 aUVQ;
layout(location = 2) in vec4 aColor;
uniform vec2 uScreen;
noperspective out vec3 vUVQ;
noperspective out vec4 vColorQ;
void main() {
    vUVQ = aUVQ;
    vColorQ = aColor * aUVQ.z;
    gl_Position = vec4(aPos.x / uScreen.x * 2.0 - 1.0, 1.0 - aPos.y / uScreen.y * 2.0, 0.0, 1.0);
}
)";

// Texture coordinates and colours arrive multiplied by q and are divided back here, so a
// quadrangle that is not a parallelogram is mapped projectively, without a crease.
const char* kFragmentShader = R"(#version 330 core
uniform sampler2D uTex;
noperspective in vec3 vUVQ;
noperspective in vec4 vColorQ;
out vec4 fragColor;
void main() {
    vec4 c = texture(uTex, vUVQ.xy / vUVQ.z) * (vColorQ / vUVQ.z);
    if (c.a < 0.5 / 255.0) discard;
    fragColor = c;
}
)";

// The same mapping for what is known to be opaque: nothing to discard, nothing to blend.
const char* kOpaqueFragmentShader = R"(#version 330 core
uniform sampler2D uTex;
noperspective in vec3 vUVQ;
noperspective in vec4 vColorQ;
out vec4 fragColor;
void main() {
    fragColor = texture(uTex, vUVQ.xy / vUVQ.z) * (vColorQ / vUVQ.z);
}
)";

// Pictures of at least this many texels get a map of their clear and opaque tiles, and
// quads of at least this many pixels are drawn by it.
constexpr long kTiledTexels = 256 * 256;
constexpr float kTiledPixels = 96 * 96;

GLuint CompileShader(GLenum type, const char* source, std::string* error) {
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        if (error) *error = std::string("shader: ") + log;
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint LinkProgram(const char* vertex, const char* fragment, std::string* error) {
    const GLuint vs = CompileShader(GL_VERTEX_SHADER, vertex, error);
    if (!vs) return 0;
    const GLuint fs = CompileShader(GL_FRAGMENT_SHADER, fragment, error);
    if (!fs) {
        glDeleteShader(vs);
        return 0;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        if (error) *error = "shader program did not link";
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

// Weights q of the four corners that make the interpolation of a quadrangle projective:
// with c the crossing of the diagonals and d_i the distance of corner i from c,
// q_i = (d_i + d_(i+2)) / d_(i+2). A parallelogram gives equal weights; a quadrangle whose
// diagonals do not cross inside it (concave or degenerate) falls back to affine mapping.
std::array<float, 4> ProjectiveWeights(const TPoint4& p) {
    // A parallelogram (every rectangle, turned or not) has equal weights: its diagonals
    // halve each other.
    constexpr float kFlat = 1e-3f;
    if (std::fabs(p[0].x + p[2].x - p[1].x - p[3].x) <= kFlat &&
        std::fabs(p[0].y + p[2].y - p[1].y - p[3].y) <= kFlat)
        return {1, 1, 1, 1};
    const double ax = p[2].x - p[0].x, ay = p[2].y - p[0].y; // diagonal 0 -> 2
    const double bx = p[3].x - p[1].x, by = p[3].y - p[1].y; // diagonal 1 -> 3
    const double den = ax * by - ay * bx;
    if (std::fabs(den) < 1e-9) return {1, 1, 1, 1};
    const double cx = p[1].x - p[0].x, cy = p[1].y - p[0].y;
    const double s = (cx * by - cy * bx) / den; // along diagonal 0 -> 2
    const double t = (cx * ay - cy * ax) / den; // along diagonal 1 -> 3
    if (s <= 1e-6 || s >= 1 - 1e-6 || t <= 1e-6 || t >= 1 - 1e-6) return {1, 1, 1, 1};
    // Distances along each diagonal are proportional to s, 1-s and t, 1-t.
    const double d0 = s, d2 = 1 - s, d1 = t, d3 = 1 - t;
    return {static_cast<float>((d0 + d2) / d2), static_cast<float>((d1 + d3) / d3),
            static_cast<float>((d2 + d0) / d0), static_cast<float>((d3 + d1) / d1)};
}

} // namespace

std::unique_ptr<GlCanvas> GlCanvas::Create(int width, int height, std::string* error) {
    std::unique_ptr<GlCanvas> canvas(new GlCanvas());
    if (!canvas->Init(width, height, error)) return nullptr;
    return canvas;
}

bool GlCanvas::Init(int width, int height, std::string* error) {
    program_ = LinkProgram(kVertexShader, kFragmentShader, error);
    if (!program_) return false;
    opaqueProgram_ = LinkProgram(kVertexShader, kOpaqueFragmentShader, error);
    if (!opaqueProgram_) return false;
    glUseProgram(opaqueProgram_);
    opaqueScreen_ = glGetUniformLocation(opaqueProgram_, "uScreen");
    glUniform1i(glGetUniformLocation(opaqueProgram_, "uTex"), 0);
    glUseProgram(program_);
    uniformScreen_ = glGetUniformLocation(program_, "uScreen");
    glUniform1i(glGetUniformLocation(program_, "uTex"), 0);

    glGenVertexArrays(1, &vao_);
    glBindVertexArray(vao_);
    glGenBuffers(1, &vbo_);
    glBindBuffer(GL_ARRAY_BUFFER, vbo_);
    glBufferData(GL_ARRAY_BUFFER, kRingVertices * sizeof(Vertex), nullptr, GL_STREAM_DRAW);
    ringHead_ = 0;
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                          reinterpret_cast<void*>(offsetof(Vertex, x)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                          reinterpret_cast<void*>(offsetof(Vertex, u)));
    glEnableVertexAttribArray(2);
    // The ARGB word in memory is B, G, R, A: GL_BGRA reads it as a normalised colour.
    glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex),
                          reinterpret_cast<void*>(offsetof(Vertex, color)));

    std::vector<uint16_t> indices(kMaxQuads * 6);
    for (size_t i = 0; i < kMaxQuads; ++i) {
        const auto b = static_cast<uint16_t>(i * 4);
        const uint16_t quad[6] = {b, static_cast<uint16_t>(b + 1), static_cast<uint16_t>(b + 2),
                                  b, static_cast<uint16_t>(b + 2), static_cast<uint16_t>(b + 3)};
        std::memcpy(&indices[i * 6], quad, sizeof quad);
    }
    glGenBuffers(1, &ibo_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo_);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, indices.size() * sizeof(uint16_t), indices.data(),
                 GL_STATIC_DRAW);

    const uint32_t white = 0xFFFFFFFF;
    glGenTextures(1, &whiteTexture_);
    glBindTexture(GL_TEXTURE_2D, whiteTexture_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, &white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);

    GLint maxTex = 2048;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTex);
    maxTextureSize_ = std::max(64, static_cast<int>(maxTex));

    glGenFramebuffers(1, &fbo_);
    glGenRenderbuffers(1, &colorBuffer_);

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    batch_.resize(kMaxVertices);
    Resize(width, height);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        if (error) *error = "the off-screen frame buffer is not complete";
        return false;
    }
    return glGetError() == GL_NO_ERROR;
}

GlCanvas::~GlCanvas() {
    for (const Texture& t : textures_)
        if (t.name) glDeleteTextures(1, &t.name);
    if (whiteTexture_) glDeleteTextures(1, &whiteTexture_);
    if (fbo_) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &fbo_);
    }
    if (colorBuffer_) glDeleteRenderbuffers(1, &colorBuffer_);
    if (ibo_) glDeleteBuffers(1, &ibo_);
    if (vbo_) glDeleteBuffers(1, &vbo_);
    if (vao_) glDeleteVertexArrays(1, &vao_);
    if (program_) glDeleteProgram(program_);
    if (opaqueProgram_) glDeleteProgram(opaqueProgram_);
}

TextureId GlCanvas::CreateTexture(int width, int height, const uint32_t* argb) {
    if (width <= 0 || height <= 0 || width > maxTextureSize_ || height > maxTextureSize_)
        return kNoTexture;
    Texture tex{0, width, height, {}};
    glGenTextures(1, &tex.name);
    glBindTexture(GL_TEXTURE_2D, tex.name);
    boundTexture_ = tex.name;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 argb);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    if (static_cast<long>(width) * height >= kTiledTexels)
        tex.tiles = AlphaTiles::Of(width, height, argb);
    if (!freeIds_.empty()) {
        const TextureId id = freeIds_.back();
        freeIds_.pop_back();
        textures_[id - 1] = std::move(tex);
        return id;
    }
    textures_.push_back(std::move(tex));
    return static_cast<TextureId>(textures_.size());
}

void GlCanvas::UpdateTexture(TextureId tex, const uint32_t* argb) {
    const unsigned name = GlName(tex);
    if (!name || !argb) return;
    if (name == batchTexture_) Flush();
    Texture& t = textures_[tex - 1];
    t.tiles = AlphaTiles{}; // a picture that changes is drawn whole
    glBindTexture(GL_TEXTURE_2D, name);
    boundTexture_ = name;
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, t.width, t.height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                    argb);
}

void GlCanvas::DestroyTexture(TextureId tex) {
    const unsigned name = GlName(tex);
    if (!name) return;
    if (name == batchTexture_) Flush();
    if (selId_ == tex) selId_ = kNoTexture;
    if (boundTexture_ == name) boundTexture_ = ~0u;
    glDeleteTextures(1, &textures_[tex - 1].name);
    textures_[tex - 1] = Texture{};
    freeIds_.push_back(tex);
}

TPoint2px GlCanvas::TextureSize(TextureId tex) const {
    if (!GlName(tex)) return {0, 0};
    return {textures_[tex - 1].width, textures_[tex - 1].height};
}

unsigned GlCanvas::GlName(TextureId tex) const {
    if (tex == kNoTexture || tex > textures_.size()) return 0;
    return textures_[tex - 1].name;
}

void GlCanvas::UseTexture(TextureId tex, const TPoint4& uv) {
    const unsigned name = GlName(tex);
    selId_ = name ? tex : kNoTexture;
    selUv_ = uv;
}

void GlCanvas::Prepare(unsigned texture, TBlendingEffect effect, Primitive primitive, bool opaque) {
    if (effect == beUnknown) effect = batchEffect_; // the previous setting stays
    const size_t room = primitive == Primitive::Quads ? 4 : 3;
    if (batchCount_ > 0 &&
        (texture != batchTexture_ || effect != batchEffect_ || primitive != batchPrimitive_ ||
         opaque != batchOpaque_ || batchCount_ + room > kMaxVertices))
        Flush();
    batchTexture_ = texture;
    batchEffect_ = effect;
    batchPrimitive_ = primitive;
    batchOpaque_ = opaque;
}

void GlCanvas::PushQuad(const TPoint4& corners, const TPoint4& uv, const TColor4& colors) {
    const std::array<float, 4> q = ProjectiveWeights(corners);
    Vertex* out = batch_.data() + batchCount_;
    for (int i = 0; i < 4; ++i)
        out[i] =
            Vertex{corners[i].x, corners[i].y, uv[i].x * q[i], uv[i].y * q[i], q[i], colors[i]};
    batchCount_ += 4;
    stats_.triangles += 2;
}

bool GlCanvas::TexMapTiles(const Texture& tex, const TPoint4& p, TColor color,
                           TBlendingEffect effect) {
    const TPoint4& uv = selUv_;
    // An upright rectangle showing an upright part of the picture (mirrored or not).
    if (p[0].y != p[1].y || p[3].y != p[2].y || p[0].x != p[3].x || p[1].x != p[2].x ||
        uv[0].y != uv[1].y || uv[3].y != uv[2].y || uv[0].x != uv[3].x || uv[1].x != uv[2].x)
        return false;
    if (std::fabs((p[1].x - p[0].x) * (p[3].y - p[0].y)) < kTiledPixels) return false;
    const auto w = static_cast<float>(tex.width), h = static_cast<float>(tex.height);
    const float u0 = uv[0].x * w, u1 = uv[1].x * w, v0 = uv[0].y * h, v1 = uv[3].y * h;
    constexpr float kSlack = 1e-3f;
    if (u0 == u1 || v0 == v1 || std::min(u0, u1) < -kSlack || std::max(u0, u1) > w + kSlack ||
        std::min(v0, v1) < -kSlack || std::max(v0, v1) > h + kSlack)
        return false;
    // Screen positions of texel columns and rows; the quad's own edges stay exact.
    const auto xAt = [&](float u) {
        return u == u0   ? p[0].x
               : u == u1 ? p[1].x
                         : p[0].x + (u - u0) / (u1 - u0) * (p[1].x - p[0].x);
    };
    const auto yAt = [&](float v) {
        return v == v0   ? p[0].y
               : v == v1 ? p[3].y
                         : p[0].y + (v - v0) / (v1 - v0) * (p[3].y - p[0].y);
    };
    runs_.clear();
    tex.tiles.Split(std::min(u0, u1), std::min(v0, v1), std::max(u0, u1), std::max(v0, v1), runs_);
    if (effect == beUnknown) effect = batchEffect_;
    // Opaque tiles stay opaque only where the result is the picture itself.
    const bool solid = effect == beNormal && ColorAlpha(color) == 0xFF;
    const TColor4 colors(color);
    for (const bool opaquePass : {true, false}) {
        for (const AlphaTiles::Run& run : runs_) {
            const bool opaque = solid && run.kind == AlphaTiles::Kind::Opaque;
            if (opaque != opaquePass) continue;
            Prepare(tex.name, effect, Primitive::Quads, opaque);
            const float x0 = xAt(run.left), x1 = xAt(run.right);
            const float y0 = yAt(run.top), y1 = yAt(run.bottom);
            PushQuad(TPoint4{TPoint2{x0, y0}, TPoint2{x1, y0}, TPoint2{x1, y1}, TPoint2{x0, y1}},
                     TPoint4{TPoint2{run.left / w, run.top / h},
                             TPoint2{run.right / w, run.top / h},
                             TPoint2{run.right / w, run.bottom / h},
                             TPoint2{run.left / w, run.bottom / h}},
                     colors);
        }
    }
    return true;
}

void GlCanvas::TexMap(const TPoint4& corners, const TColor4& colors, TBlendingEffect effect) {
    // What cannot show costs nothing: a quad wholly outside the clip, or one whose corners
    // are all fully transparent (every pixel of it would be discarded).
    float left = corners[0].x, right = left, top = corners[0].y, bottom = top;
    for (int i = 1; i < 4; ++i) {
        left = std::min(left, corners[i].x);
        right = std::max(right, corners[i].x);
        top = std::min(top, corners[i].y);
        bottom = std::max(bottom, corners[i].y);
    }
    if (right <= static_cast<float>(clip_.left) || left >= static_cast<float>(clip_.right) ||
        bottom <= static_cast<float>(clip_.top) || top >= static_cast<float>(clip_.bottom) ||
        (ColorAlpha(colors[0]) | ColorAlpha(colors[1]) | ColorAlpha(colors[2]) |
         ColorAlpha(colors[3])) == 0) {
        ++stats_.culledQuads;
        return;
    }
    ++stats_.quads;
    if (selId_ != kNoTexture && colors[0] == colors[1] && colors[0] == colors[2] &&
        colors[0] == colors[3] && !textures_[selId_ - 1].tiles.Empty() &&
        TexMapTiles(textures_[selId_ - 1], corners, colors[0], effect))
        return;
    Prepare(selId_ != kNoTexture ? GlName(selId_) : whiteTexture_, effect, Primitive::Quads);
    PushQuad(corners, selUv_, colors);
}

void GlCanvas::DrawTriangles(const ColorVertex* vertices, size_t count, TBlendingEffect effect) {
    count -= count % 3;
    for (size_t i = 0; i < count; i += 3) {
        Prepare(whiteTexture_, effect, Primitive::Triangles);
        for (size_t k = 0; k < 3; ++k) {
            const ColorVertex& v = vertices[i + k];
            batch_[batchCount_++] = Vertex{v.pos.x, v.pos.y, 0, 0, 1, v.color};
        }
        ++stats_.triangles;
    }
}

void GlCanvas::ApplyBlend(TBlendingEffect effect) {
    if (blendApplied_ && effect == lastEffect_) return;
    GLenum src = GL_SRC_ALPHA, dst = GL_ONE_MINUS_SRC_ALPHA;
    switch (effect) {
    case beShadow:
        src = GL_ZERO;
        dst = GL_ONE_MINUS_SRC_ALPHA;
        break;
    case beAdd:
        src = GL_SRC_ALPHA;
        dst = GL_ONE;
        break;
    case beMultiply:
        src = GL_ZERO;
        dst = GL_SRC_COLOR;
        break;
    case beInvMultiply:
        src = GL_ZERO;
        dst = GL_ONE_MINUS_SRC_COLOR;
        break;
    case beSrcColor:
        src = GL_SRC_COLOR;
        dst = GL_ONE_MINUS_SRC_COLOR;
        break;
    case beSrcColorAdd:
        src = GL_SRC_COLOR;
        dst = GL_ONE;
        break;
    default:
        break;
    }
    // The target's alpha is left as it is whatever the effect.
    glBlendFuncSeparate(src, dst, GL_ZERO, GL_ONE);
    lastEffect_ = effect;
    blendApplied_ = true;
}

void GlCanvas::Flush() {
    if (batchCount_ == 0) return;
    glUseProgram(batchOpaque_ ? opaqueProgram_ : program_);
    glBindVertexArray(vao_);
    glBindBuffer(GL_ARRAY_BUFFER, vbo_);
    // The batch goes behind the previous ones, written without waiting for the draws that
    // read them; a full buffer gets a fresh store.
    if (ringHead_ + batchCount_ > kRingVertices) {
        glBufferData(GL_ARRAY_BUFFER, kRingVertices * sizeof(Vertex), nullptr, GL_STREAM_DRAW);
        ringHead_ = 0;
    }
    const size_t bytes = batchCount_ * sizeof(Vertex);
    void* target = glMapBufferRange(
        GL_ARRAY_BUFFER, static_cast<GLintptr>(ringHead_ * sizeof(Vertex)),
        static_cast<GLsizeiptr>(bytes),
        GL_MAP_WRITE_BIT | GL_MAP_UNSYNCHRONIZED_BIT | GL_MAP_INVALIDATE_RANGE_BIT);
    if (target) {
        std::memcpy(target, batch_.data(), bytes);
        glUnmapBuffer(GL_ARRAY_BUFFER);
    } else {
        glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(ringHead_ * sizeof(Vertex)),
                        static_cast<GLsizeiptr>(bytes), batch_.data());
    }
    const auto first = static_cast<GLint>(ringHead_);
    ringHead_ += batchCount_;
    if (boundTexture_ != batchTexture_) {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, batchTexture_);
        boundTexture_ = batchTexture_;
    }
    if (batchOpaque_ == blendEnabled_) {
        if (batchOpaque_)
            glDisable(GL_BLEND);
        else
            glEnable(GL_BLEND);
        blendEnabled_ = !batchOpaque_;
    }
    if (!batchOpaque_) ApplyBlend(batchEffect_);
    if (batchPrimitive_ == Primitive::Quads)
        glDrawElementsBaseVertex(GL_TRIANGLES, static_cast<GLsizei>(batchCount_ / 4 * 6),
                                 GL_UNSIGNED_SHORT, nullptr, first);
    else
        glDrawArrays(GL_TRIANGLES, first, static_cast<GLsizei>(batchCount_));
    ++stats_.drawCalls;
    if (capture_) Capture();
    batchCount_ = 0;
}

void GlCanvas::Capture() {
    const size_t before = capture_->vertices.size();
    if (batchPrimitive_ == Primitive::Quads) {
        for (size_t b = 0; b + 4 <= batchCount_; b += 4)
            for (size_t k : {0, 1, 2, 0, 2, 3}) capture_->vertices.push_back(batch_[b + k]);
    } else {
        capture_->vertices.insert(capture_->vertices.end(), batch_.begin(),
                                  batch_.begin() + static_cast<std::ptrdiff_t>(batchCount_));
    }
    capture_->draws.emplace_back(batchTexture_, capture_->vertices.size() - before);
}

void GlCanvas::ApplyViewport() {
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glViewport(0, 0, size_.x, size_.y);
    glUseProgram(opaqueProgram_);
    glUniform2f(opaqueScreen_, static_cast<float>(size_.x), static_cast<float>(size_.y));
    glUseProgram(program_);
    glUniform2f(uniformScreen_, static_cast<float>(size_.x), static_cast<float>(size_.y));
}

void GlCanvas::SetClipRect(const TRect& rect) {
    TRect clip;
    clip.left = std::clamp(rect.left, 0, size_.x);
    clip.top = std::clamp(rect.top, 0, size_.y);
    clip.right = std::clamp(rect.right, clip.left, size_.x);
    clip.bottom = std::clamp(rect.bottom, clip.top, size_.y);
    // Setting the clip it already has must not split the batch.
    if (scissorSet_ && clip.left == clip_.left && clip.top == clip_.top &&
        clip.right == clip_.right && clip.bottom == clip_.bottom)
        return;
    Flush();
    clip_ = clip;
    scissorSet_ = true;
    glEnable(GL_SCISSOR_TEST);
    glScissor(clip_.left, size_.y - clip_.bottom, clip_.Width(), clip_.Height());
}

void GlCanvas::Resize(int width, int height) {
    Flush();
    size_ = {std::clamp(width, 1, maxTextureSize_), std::clamp(height, 1, maxTextureSize_)};
    glBindRenderbuffer(GL_RENDERBUFFER, colorBuffer_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, size_.x, size_.y);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorBuffer_);
    ApplyViewport();
    scissorSet_ = false; // the box counts from the bottom, which has moved
    SetClipRect(TRect{0, 0, size_.x, size_.y});
}

void GlCanvas::BeginFrame(TColor clearColor) {
    batchCount_ = 0;
    stats_ = {};
    ApplyViewport();
    SetClipRect(TRect{0, 0, size_.x, size_.y});
    glClearColor(static_cast<float>(ColorRed(clearColor)) / 255.0f,
                 static_cast<float>(ColorGreen(clearColor)) / 255.0f,
                 static_cast<float>(ColorBlue(clearColor)) / 255.0f,
                 static_cast<float>(ColorAlpha(clearColor)) / 255.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void GlCanvas::EndFrame() {
    Flush();
}

void GlCanvas::CopyToWindow(int windowWidth, int windowHeight) {
    Flush();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glBlitFramebuffer(0, 0, size_.x, size_.y, 0, windowHeight - size_.y, size_.x, windowHeight,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glEnable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    (void)windowWidth;
}

std::vector<uint32_t> GlCanvas::ReadPixels() {
    Flush();
    const size_t w = static_cast<size_t>(size_.x), h = static_cast<size_t>(size_.y);
    std::vector<uint32_t> raw(w * h);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo_);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glReadPixels(0, 0, size_.x, size_.y, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, raw.data());
    // GL counts rows from the bottom; the surface is opaque.
    std::vector<uint32_t> out(w * h);
    for (size_t y = 0; y < h; ++y)
        for (size_t x = 0; x < w; ++x) out[y * w + x] = raw[(h - 1 - y) * w + x] | 0xFF000000u;
    return out;
}

} // namespace bw
