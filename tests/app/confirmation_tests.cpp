// Confirmations of what cannot be undone default to Cancel: a stray Enter
// never clears a table, deletes a reader or replaces the catalogue.
#include "program_fixture.h"
#include "ui/forms/control_names.h"

namespace chengxi::testing {
namespace {

namespace mainw = ui::names::main;

using Confirmation = ProgramFixture;

TEST_F(Confirmation, DestructiveQuestionsDefaultToCancel) {
    ui::Window& main = openMainWindow();
    ASSERT_TRUE(program->library().database.connection.execute(
        "insert into 读者数据 values(?,?,?,?,?,?)", {"1班", "张三", "201409001", "0", "0", "0"}));
    main.control(mainw::kLookupCard).setText("201409001");
    main.control(mainw::kBookFilePath).setText("books.xls");
    for (const std::string_view button :
         {mainw::kClearLendState, mainw::kClearReaders, mainw::kClearBooks, mainw::kDeleteReader,
          mainw::kImportBooks}) {
        screen.queueAnswer(ui::Answer::Cancel);
        program->fire(mainw::kWindow, button, ui::Event::Clicked);
        ASSERT_FALSE(screen.messages().empty()) << button;
        const ui::Message& question = screen.messages().back().message;
        EXPECT_EQ(question.buttons, ui::Buttons::OkCancel) << button;
        EXPECT_EQ(question.defaultButton, ui::Answer::Cancel) << button;
    }
    EXPECT_EQ(screen.messages().size(), 5U);
}

} // namespace
} // namespace chengxi::testing
