#include "platform/linux_utilities/desktop_entry_text.h"

#include <gtest/gtest.h>

namespace {

TEST(DesktopEntryText, ValuesAreEscapedSoTheyCannotAddLinesOrKeys) {
  DesktopEntryText entry("Desktop Entry");
  entry.add("Name", "Halomark")
      .add("Comment", "two\nlines\tand a \\ backslash\r")
      .add("GenericName", "  leading spaces")
      .add("X-Unicode", "Lumi\xC3\xA8re \xF0\x9F\x92\xA1");
  EXPECT_EQ(entry.text(),
            "[Desktop Entry]\nName=Halomark\nComment=two\\nlines\\tand a \\\\ backslash\\r\n"
            "GenericName=\\s leading spaces\nX-Unicode=Lumi\xC3\xA8re \xF0\x9F\x92\xA1\n");
  EXPECT_EQ(entry.refusal(), "");

  for (const char* unsafe : {"bell\x07", "delete\x7F", "bad \xFF utf-8", "overlong \xC0\xAF",
                             "surrogate \xED\xA0\x80", "cut \xE2\x82"}) {
    EXPECT_EQ(DesktopEntryText::escapedValue(unsafe), std::nullopt) << unsafe;
  }
}

TEST(DesktopEntryText, ExecArgumentsAreQuotedThenEscapedAndControlCharactersRefused) {
  DesktopEntryText entry("Desktop Entry");
  entry.addExec("Exec", {"/opt/a \"b\" $c `d` \\e 'f'/Halomark", "--flag"}, "%u");
  EXPECT_EQ(entry.text(),
            "[Desktop Entry]\nExec=\"/opt/a \\\\\"b\\\\\" \\\\$c \\\\`d\\\\` \\\\\\\\e 'f'/Halomark\" "
            "\"--flag\" %u\n");

  for (const char* path : {"/opt/a\nExec=evil", "/opt/a\tb", "/opt/a\rb", "/opt/\xFF"}) {
    DesktopEntryText refused("Desktop Entry");
    refused.add("Name", "Halomark").addExec("Exec", {path}, "%u").add("Terminal", "false");
    EXPECT_EQ(refused.text(), std::nullopt) << path;
    EXPECT_EQ(refused.refusal(),
              "its Exec value holds a line break, another control character or text that isn't UTF-8");
  }
}

TEST(DesktopEntryText, APercentSignInAProgramPathIsRefusedForGLib) {
  DesktopEntryText entry("Desktop Entry");
  entry.add("Name", "Halomark").addExec("Exec", {"/opt/100%/Halomark"}, "%u");
  EXPECT_EQ(entry.text(), std::nullopt);
  EXPECT_EQ(entry.refusal(),
            "its Exec value holds a percent sign, which desktops built on GLib cannot launch");
}

TEST(DesktopEntryText, BusServiceFilesAreWrittenAsTheyAreRead) {
  DesktopEntryText service("D-BUS Service", DesktopEntryText::Format::dbusService);
  service.add("Name", "app.halomark.Halomark").addExec("Exec", {"/opt/My $Apps `x` 'y'/100%/Halomark"});
  EXPECT_EQ(service.text(),
            "[D-BUS Service]\nName=app.halomark.Halomark\nExec=\"/opt/My $Apps `x` 'y'/100%/Halomark\"\n");
  // A double quote is carried by single quotes instead.
  DesktopEntryText quoted("D-BUS Service", DesktopEntryText::Format::dbusService);
  quoted.addExec("Exec", {"/opt/\"Apps\"/Halomark"});
  EXPECT_EQ(quoted.text(), "[D-BUS Service]\nExec='/opt/\"Apps\"/Halomark'\n");

  for (const char* path : {"/opt/a\\b/Halomark", "/opt/\"it's\"/Halomark"}) {
    DesktopEntryText refused("D-BUS Service", DesktopEntryText::Format::dbusService);
    refused.addExec("Exec", {path});
    EXPECT_EQ(refused.text(), std::nullopt) << path;
    EXPECT_NE(refused.refusal().find("D-Bus service files cannot carry"), std::string::npos)
        << refused.refusal();
  }

  DesktopEntryText injected("D-BUS Service", DesktopEntryText::Format::dbusService);
  injected.add("Name", "a\nExec=evil");
  EXPECT_EQ(injected.text(), std::nullopt);
}

}  // namespace
