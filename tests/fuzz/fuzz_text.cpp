// The radio text reader: whatever text it is given it answers without crashing, an
// accepted text never leaves an image it cannot write as text again, and exporting
// the result and applying that text gives the same bytes. A refused text changes
// nothing. The first input byte picks the image the text is applied to (a default
// image of a band, or one with every byte 0x00); the rest is the text.
#include "tests/fuzz/FuzzSupport.h"

#include "core/Band.h"
#include "text/RadioText.h"

using namespace kestrel;
using namespace kestrel::fuzz;

namespace {

const text::DefaultImages& BandImages() {
    static const text::DefaultImages defaults(QStringLiteral(KESTREL_BIN_DIR));
    return defaults;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    UseDefaultCorpus(argc, argv);
    QuietMessages(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    const int base = in.below(BandCount + 1);
    MemoryImage image;
    QString error;
    if (base < BandCount)
        Check(BandImages().image(base, &image, &error), "the default images are there", error);
    else
        image.setBytes(QByteArray(ImageSize, '\0'));
    const MemoryImage before = image;

    text::TextApplyResult result;
    if (!text::ApplyRadioText(in.rest(), image, BandImages(), &result)) {
        Check(!result.errors.isEmpty(), "a refused text says why");
        Check(image.bytes() == before.bytes(), "a refused text changes nothing");
        return 0;
    }
    QByteArray exported;
    Check(text::ExportRadioText(image, BandImages(), &exported, &error), "an applied image exports", error);
    MemoryImage again;
    again.setBytes(QByteArray(ImageSize, '\x5A'));
    text::TextApplyResult second;
    Check(text::ApplyRadioText(exported, again, BandImages(), &second), "an exported text is accepted",
          second.errors.isEmpty() ? QString() : second.errors.first().text());
    Check(again.bytes() == image.bytes(), "export then apply gives the same bytes");
    return 0;
}
