// Which parts of a picture are fully transparent or fully opaque, in square tiles of its
// texels. A large picture drawn as one quad pays for every pixel it covers; with this map the
// canvas leaves out what would all be discarded and draws opaque parts without blending.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bw {

class AlphaTiles {
public:
    static constexpr int kTile = 16;
    enum class Kind : uint8_t { Mixed, Clear, Opaque };

    // The map of an ARGB picture. A tile counts as clear (or opaque) only when its eight
    // neighbours are too, taken round the edges as the texture repeats, so that linear
    // filtering at its border never reads a texel of another kind.
    static AlphaTiles Of(int width, int height, const uint32_t* argb);

    bool Empty() const { return kinds_.empty(); }
    int Columns() const { return columns_; }
    int Rows() const { return rows_; }
    Kind At(int column, int row) const {
        return kinds_[static_cast<size_t>(row) * static_cast<size_t>(columns_) +
                      static_cast<size_t>(column)];
    }

    // A run of tiles of one kind within a texel rectangle: texels [left, right) x [top, bottom).
    struct Run {
        float left, top, right, bottom;
        Kind kind;
    };
    // Splits the texel rectangle [left, right) x [top, bottom) (inside the picture) into runs of
    // clear, opaque and mixed tiles, row by row; clear runs are left out.
    void Split(float left, float top, float right, float bottom, std::vector<Run>& out) const;

private:
    int columns_ = 0, rows_ = 0;
    std::vector<Kind> kinds_;
};

} // namespace bw
