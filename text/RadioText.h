#pragma once
// The whole radio as one YAML document: format, band, the channels in use (by group
// and number, every grid column), the channel bookkeeping and every settings view's
// fields under their English names, and a `raw:` section with every byte the fields do
// not give back, relative to the band's default image. Exporting an image and applying
// the text gives the same 8192 bytes, whatever they are.
//
// A text that says `base: default` is a whole image: applying it starts from the
// default image of its band. Without it, a text changes only the fields it names.
#include "core/MemoryImage.h"
#include "text/RadioFields.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace kestrel::text {

constexpr int TextFormatVersion = 1;

// The default images of the three bands, read from the program folder when first asked for.
class DefaultImages {
public:
    explicit DefaultImages(const QString& folder) : m_folder(folder) {}
    // Images given directly (tests, harnesses); index = band.
    explicit DefaultImages(const std::array<QByteArray, 3>& images);
    bool image(int band, MemoryImage* out, QString* error) const;

private:
    QString m_folder;
    mutable std::array<std::optional<QByteArray>, 3> m_images;
};

// The text of `image`. False with `error` when the band's default image cannot be read.
bool ExportRadioText(const MemoryImage& image, const DefaultImages& defaults, QByteArray* text, QString* error);

// What reading a text found.
struct TextApplyResult {
    bool whole = false;  // the text says `base: default`
    int band = -1;       // the band the text names; -1 when it names none
    QList<FieldError> errors;
};

// Applies `text` to `image` (a whole text replaces it, starting from the default image of
// its band). On any error `image` is left as it was and `result.errors` lists every one,
// with line and column.
bool ApplyRadioText(const QByteArray& text, MemoryImage& image, const DefaultImages& defaults,
                    TextApplyResult* result);

// A text on its own (opened, compared): applied to the default image of the band it
// names (band 0 when it names none).
bool LoadRadioText(const QByteArray& text, MemoryImage& image, const DefaultImages& defaults,
                   TextApplyResult* result);

// Whether a file name is a radio text: it ends in ".yaml" or ".yml", in any letter case.
bool IsRadioTextFile(const QString& fileName);

// Reads an image file or a radio text file (by its name) into `image`. False with the
// messages in `errors` ("FILE:12:5: ..." for a text); `image` is then unchanged.
bool LoadImageOrText(const QString& fileName, const DefaultImages& defaults, MemoryImage& image,
                     QStringList* errors);

// Writes the text of `image` to `fileName` through a temporary file, so a failure leaves
// the previous file intact.
bool SaveRadioTextFile(const MemoryImage& image, const DefaultImages& defaults, const QString& fileName,
                       QString* error);

} // namespace kestrel::text
