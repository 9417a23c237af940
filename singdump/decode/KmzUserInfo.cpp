// "KMZUserInfo": one u16 offset slot per profile key after the header, with
// the texts (UTF-8) packed behind them; every key counts one byte in the
// length even when it has no text. Shown grouped by the file's sections.
#include <string>
#include <utility>

#include "decode/Decoders.h"
#include "decode/Reader.h"
#include "sdk/sing32.h"

void DecodeKmzUserInfo(const uint8_t* data, size_t size, DecodeResult& out) {
    Reader rd(data, size);
    size_t expected = SING_KMZUSER_FIXED_SIZE;
    Node group = Node::Group(sing_kmzuser_section(0));
    for (uint32_t key = 0; key < SING_KMZUSER_KEYS; ++key) {
        if (group.key != sing_kmzuser_section(key))
            out.fields.Add(std::exchange(group, Node::Group(sing_kmzuser_section(key))));
        AddSlotText(rd, group, sing_kmzuser_key_name(key), SING_KMZUSER_SLOT(key), SING_KMZUSER_FIXED_SIZE);
        if (!rd.Ok()) {
            out.error = rd.Error();
            return;
        }
        expected += group.children.back().text.size() + 1;
    }
    out.fields.Add(std::move(group));
    if (expected != size)
        out.error = "buffer length " + std::to_string(size) + " differs from the " + std::to_string(expected) +
                    " bytes its texts take";
}
