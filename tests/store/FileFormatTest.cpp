// The data files byte by byte: every field of every file at its offset and width, checked
// against what the store writes when it saves, so a field that moves fails here.
#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "store/Saver.h"
#include "store/StoreChanges.h"
#include "store/StoreTestFiles.h"

namespace {

FileBytes I32(int32_t v) {
    FileBytes b(4);
    Put(b, 0, static_cast<uint32_t>(v));
    return b;
}
FileBytes I16(int16_t v) {
    FileBytes b(2);
    Put(b, 0, static_cast<uint16_t>(v), 2);
    return b;
}
FileBytes Text(std::string text, size_t width) {
    text.resize(width, ' ');
    return {text.begin(), text.end()};
}
FileBytes Colours() {
    FileBytes b(204, 0);
    const uint32_t colours[] = {0x00010203, 0x00FFFF00, 0x00C0FFC0, 0x00C0FFFF, 0x00C0C0FF};
    for (size_t i = 0; i < 50; ++i) {
        Put(b, 4 * i, i < 5 ? colours[i] : 0xFFFFFF);
    }
    Put(b, 200, 0x0A0B0C);
    return b;
}

// Options 2 to 5 on as a new store has them, 1 turned off and 100 on.
FileBytes Options() {
    FileBytes b = Text(" XXXX", 100);
    b[99] = 'X';
    return b;
}

struct Field {
    size_t offset;
    size_t width;
    const char* name;
    FileBytes bytes;
};
struct Layout {
    const char* file;
    size_t length;
    std::vector<Field> fields;
};
void PrintTo(const Layout& layout, std::ostream* os) {
    *os << layout.file;
}

// What Fill below makes the store write.
const Layout kLayouts[] = {
    {"Appointment.bin",
     36,
     {{0, 4, "id", I32(1001)},
      {4, 4, "customer id", I32(2002)},
      {8, 4, "resource id", I32(3003)},
      {12, 4, "type id", I32(4004)},
      {16, 4, "start", I32(5005)},
      {20, 4, "end", I32(6006)},
      {24, 12, "reference", Text(" MTG 001", 12)}}},
    {"Customer.bin", 28, {{0, 4, "id", I32(7)}, {4, 24, "name", Text("Ann Example", 24)}}},
    {"Resource.bin", 28, {{0, 4, "id", I32(8)}, {4, 24, "name", Text("  Room 1", 24)}}},
    {"Type.bin",
     48,
     {{0, 4, "id", I32(9)},
      {4, 24, "name", Text("Review", 24)},
      {28, 4, "back colour", I32(0x00112233)},
      {32, 4, "fore colour", I32(0x00445566)},
      {36, 4, "minimum minutes", I32(15)},
      {40, 4, "maximum minutes", I32(480)},
      {44, 4, "increment minutes", I32(30)}}},
    {"Global.bin",
     710,
     {{0, 4, "id counter", I32(1001)},
      {4, 12, "reserved", FileBytes(12, 0)},
      {16, 4, "date format", I32(-7)},
      {20, 2, "print orientation", I16(1)},
      {22, 2, "preview view type", I16(-2)},
      {24, 2, "print page size", I16(0x1234)},
      {26, 2, "preview zoom", I16(150)},
      {28, 204, "colours 0 to 50", Colours()},
      {232, 204, "reserved", FileBytes(204, 0)},
      {436, 100, "options 1 to 100", Options()},
      {536, 24, "resource type", Text("  Rooms", 24)},
      {560, 150, "reserved", Text("", 150)}}},
};

void Fill(StoreChanges& changes) {
    int32_t id = 7;
    changes.CustomerSave(id, "Ann Example");
    id = 8;
    changes.ResourceSave(id, "  Room 1");
    id = 9;
    changes.TypeSave(id, "Review", 0x00112233, 0x00445566, 15, 480, 30);
    id = 1001;
    changes.AppointmentSave(id, 2002, 3003, 4004, 5005, 6006, " MTG 001");
    changes.SetDateFormat(-7);
    changes.SetPrintOrientation(1);
    changes.SetPreviewViewType(-2);
    changes.SetPrintPageSize(0x1234);
    changes.SetPreviewZoom(150);
    changes.SetColor(0, 0x00010203);
    changes.SetColor(50, 0x0A0B0C);
    changes.SetOption(1, false);
    changes.SetOption(100, true);
    changes.SetResourceType("  Rooms");
}

class FileFormatTest : public StoreTest, public ::testing::WithParamInterface<Layout> {};

TEST_P(FileFormatTest, EachFieldWhereTheTableSays) {
    ClsGlobal store(Folders());
    StoreChanges changes(store);
    Fill(changes);
    Saver saver(
        store, [](Saver::Job job, Saver::Done done) { done(job()); },
        [] { return Saver::TimePoint{}; });
    ASSERT_TRUE(saver.Flush([] {}).Ok());

    const Layout& layout = GetParam();
    const FileBytes file = ReadBytes(Data(layout.file));
    ASSERT_EQ(file.size(), layout.length) << "one record";
    size_t next = 0;
    for (const Field& f : layout.fields) {
        EXPECT_EQ(f.offset, next) << f.name << ": the table leaves no byte out";
        ASSERT_EQ(f.bytes.size(), f.width) << f.name;
        ASSERT_LE(f.offset + f.width, file.size()) << f.name;
        const auto at = file.begin() + static_cast<std::ptrdiff_t>(f.offset);
        EXPECT_EQ(FileBytes(at, at + static_cast<std::ptrdiff_t>(f.width)), f.bytes) << f.name;
        next = f.offset + f.width;
    }
    EXPECT_EQ(next, layout.length);
}

INSTANTIATE_TEST_SUITE_P(Files, FileFormatTest, ::testing::ValuesIn(kLayouts), [](const auto& row) {
    std::string name = row.param.file;
    return name.substr(0, name.find('.'));
});

} // namespace
