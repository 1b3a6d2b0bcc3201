// Lexel.so as the program loads it: every template builds with its controls, texts and styles,
// the string table, bitmaps and icon come out of it, and a missing module stays quiet.
#include <gtest/gtest.h>

#include <wx/bitmap.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/iconbndl.h>
#include <wx/image.h>
#include <wx/listbox.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/slider.h>
#include <wx/spinbutt.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <vector>

#include "platform/ResourceModule.h"
#include "resources/ProgramResources.h"
#include "tests/harness/Harness.h"

using platform::ResourceModule;

namespace {

std::string ModulePath() { return (harness::BinDir() / "Lexel.so").string(); }

class ResourceModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ResourceModule::IsLoaded()) {
            ASSERT_TRUE(ResourceModule::Load(ModulePath())) << ModulePath();
        }
    }
};

std::string Utf8(const wxString& s) { return s.ToStdString(wxConvUTF8); }

// What a template control must look like once built.
struct ControlSpec {
    int id;
    const wxClassInfo* cls;
    const char* label;  // nullptr: not checked
    bool shown;
    bool enabled;
};

const wxClassInfo* const kText = wxCLASSINFO(wxStaticText);
const wxClassInfo* const kButton = wxCLASSINFO(wxButton);
const wxClassInfo* const kRadio = wxCLASSINFO(wxRadioButton);
const wxClassInfo* const kChoice = wxCLASSINFO(wxChoice);
const wxClassInfo* const kSlider = wxCLASSINFO(wxSlider);
const wxClassInfo* const kList = wxCLASSINFO(wxListBox);
const wxClassInfo* const kEdit = wxCLASSINFO(wxTextCtrl);
const wxClassInfo* const kSpin = wxCLASSINFO(wxSpinButton);
const wxClassInfo* const kCheck = wxCLASSINFO(wxCheckBox);

void ExpectControls(wxWindow* root, const std::vector<ControlSpec>& specs) {
    for (const ControlSpec& s : specs) {
        wxWindow* w = root->FindWindow(s.id);
        ASSERT_NE(w, nullptr) << "control " << s.id;
        EXPECT_TRUE(w->IsKindOf(s.cls)) << "control " << s.id << " is " << w->GetClassInfo()->GetClassName();
        if (s.label) {
            EXPECT_EQ(Utf8(w->GetLabel()), s.label) << "control " << s.id;
        }
        EXPECT_EQ(w->IsShown(), s.shown) << "control " << s.id;
        EXPECT_EQ(w->IsThisEnabled(), s.enabled) << "control " << s.id;
    }
}

std::vector<std::string> Items(wxWindow* root, int id) {
    auto* choice = dynamic_cast<wxChoice*>(root->FindWindow(id));
    std::vector<std::string> out;
    if (!choice) return out;
    for (unsigned i = 0; i < choice->GetCount(); ++i) out.push_back(Utf8(choice->GetString(i)));
    return out;
}

// Options pages live in a frame standing in for the options sheet.
struct PageHost {
    std::unique_ptr<wxFrame, void (*)(wxFrame*)> frame{new wxFrame(nullptr, wxID_ANY, "sheet"),
                                                       [](wxFrame* f) { f->Destroy(); }};
    wxPanel* page = new wxPanel;
    ~PageHost() {
        if (!page->GetParent()) delete page;  // never created: the frame does not own it
    }
    bool Load(unsigned id) { return ResourceModule::LoadPanel(page, frame.get(), id); }
};

TEST_F(ResourceModuleTest, StringTableHasEveryShippedText) {
    const std::pair<unsigned, const char*> strings[] = {
        {101, "&Informazioni su Murmelo"}, {1200, "Guida"}, {1201, "Riduci"}, {1202, "Impostazione"},
        {1203, "Ricerca"}, {1204, "Chiudi"}, {1205, "Apertura file per Riproduzione"}, {1206, "Impostazione"},
        {1207, "Riproduci"}, {1208, "Precedente"}, {1209, "Registra"}, {1210, "Arresto"}, {1211, "Successivo"},
        {1212, "Noise Reduction"}, {1213, "Acoustic Echo Cancellation"}, {1214, "Beam Forming"}, {1215, "Pausa"},
        {1216, "Pro"}, {1217, "Stereo"}, {1218, "Alto"}, {1219, "Medio"}, {1220, "Mono"}, {1221, "Basso"},
        {1222, "Corretto"}, {1223, "Pausa registrazione"}, {1224, "Raggiunta massima dimensione registrazione"},
        {1225, "Nessun altro file trovato nella directory"}, {1226, "Messaggio"},
        {1227, "Impossibile trovare il file"}, {1228, "Acrobat Reader non è installato"}, {1229, "File"},
        {1230, "non trovato"}, {1231, "Qualità registrazione MP3"}, {1232, "Qualità registrazione WMA"},
        {1233, "Qualità registrazione WAV"},
        {1234, "Il drive o lo share UNC selezionato non esiste o non è accessibile"},
        {1235, "Selezionare la cartella per il salvataggio:"},
        {1236, "La durata di registrazione massima è 1 minuto."}, {1237, "Attenzione"},
        {1238, "Lo spazio minimo su disco richiesto per la registrazione è 100 MB."}, {1239, "Mute"},
        {1240, "Volume"}, {1241, "Volume di registrazione"},
    };
    for (const auto& [id, text] : strings) EXPECT_EQ(ResourceModule::LoadString(id), text) << id;
    for (unsigned missing : {0u, 100u, 102u, 1199u, 1242u, 65535u}) EXPECT_EQ(ResourceModule::LoadString(missing), "") << missing;
}

TEST_F(ResourceModuleTest, MainWindowBuildsAt331x236WithItsControls) {
    auto* dlg = new wxDialog;
    ASSERT_TRUE(ResourceModule::LoadDialog(dlg, nullptr, 102, platform::kMainWindowBaseX, platform::kMainWindowBaseY));
    EXPECT_EQ(dlg->GetClientSize(), wxSize(331, 236));
    EXPECT_FALSE(dlg->HasFlag(wxCAPTION));
    ExpectControls(dlg, {
        {1016, kText, "", false, true},
        {1009, kList, nullptr, false, false},
        {1011, kList, nullptr, false, true},
        {1005, kSlider, nullptr, true, true},
        {1007, kSlider, nullptr, true, true},
        {1051, kText, "", true, true},
    });
    EXPECT_TRUE(dlg->FindWindow(1009)->HasFlag(wxLB_SORT));
    EXPECT_TRUE(dlg->FindWindow(1011)->HasFlag(wxLB_SORT));
    EXPECT_TRUE(dlg->FindWindow(1016)->HasFlag(wxALIGN_CENTRE_HORIZONTAL));
    // Controls sit at their template rectangles in those base units.
    const std::pair<int, wxRect> placed[] = {
        {1005, wxRect(21, 144, 233, 20)}, {1007, wxRect(200, 214, 51, 20)}, {1051, wxRect(25, 76, 145, 16)},
        {1016, wxRect(243, 156, 63, 16)},
    };
    for (const auto& [id, rect] : placed) {
        EXPECT_EQ(dlg->FindWindow(id)->GetPosition(), rect.GetPosition()) << id;
        EXPECT_EQ(dlg->FindWindow(id)->GetSize(), rect.GetSize()) << id;
    }
    dlg->Destroy();
}

TEST_F(ResourceModuleTest, MainWindowInWxDialogUnitsAlsoBuilds) {
    auto* dlg = new wxDialog;
    ASSERT_TRUE(ResourceModule::LoadDialog(dlg, nullptr, 102));
    EXPECT_EQ(dlg->GetClientSize(), dlg->ConvertDialogToPixels(wxSize(189, 118)));
    dlg->Destroy();
}

TEST_F(ResourceModuleTest, TemplateGeometryWithoutAWindow) {
    struct Case {
        unsigned dialog, control;
        platform::DialogUnitRect rect;
    };
    const Case cases[] = {
        {102, 1005, {12, 72, 133, 10}}, {102, 1007, {114, 107, 29, 10}}, {102, 1051, {14, 38, 83, 8}},
        {102, 1016, {139, 78, 36, 8}},  {107, 1014, {143, 167, 153, 15}}, {108, 1017, {0, 198, 8, 11}},
    };
    for (const Case& c : cases) {
        const auto r = ResourceModule::ControlRect(c.dialog, c.control);
        ASSERT_TRUE(r) << c.dialog << "/" << c.control;
        EXPECT_EQ(r->x, c.rect.x);
        EXPECT_EQ(r->y, c.rect.y);
        EXPECT_EQ(r->width, c.rect.width);
        EXPECT_EQ(r->height, c.rect.height);
    }
    EXPECT_FALSE(ResourceModule::ControlRect(102, 9999));
    EXPECT_FALSE(ResourceModule::ControlRect(999, 1005));
    const auto size = ResourceModule::TemplateSize(102);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, 189);
    EXPECT_EQ(size->height, 118);
    EXPECT_EQ(platform::DialogUnitsToPixelsX(189, 7), 331);
    EXPECT_EQ(platform::DialogUnitsToPixelsY(118, 16), 236);
    const std::pair<unsigned, const char*> captions[] = {
        {102, ""}, {107, "Generale"}, {108, "Avanzate"}, {147, "Informazioni su Murmelo"},
        {152, "Funzioni speciali di registrazione"}};
    for (const auto& [id, caption] : captions) EXPECT_EQ(ResourceModule::TemplateCaption(id), caption) << id;
}

TEST_F(ResourceModuleTest, GeneralPageBuildsWithEveryControlAndItem) {
    PageHost host;
    ASSERT_TRUE(host.Load(107));
    wxPanel* page = host.page;
    EXPECT_EQ(Utf8(page->GetLabel()), "Generale");
    ExpectControls(page, {
        {1063, kText, "Volume di registrazione 50%", true, true},
        {1058, kSlider, nullptr, true, true},
        {1025, kChoice, nullptr, true, true},
        {1012, kChoice, nullptr, true, true},
        {1081, kText, "microfono:", true, false},
        {1079, kRadio, "incorporato", true, false},
        {1080, kRadio, "esterno", true, false},
        {1052, kRadio, "MP3", true, true},
        {1053, kRadio, "WMA", true, true},
        {1024, kRadio, "WAV", true, true},
        {1050, kText, "", true, true},
        {1047, kChoice, nullptr, true, true},
        {1040, kChoice, nullptr, true, true},
        {1042, kChoice, nullptr, true, true},
        {1046, kChoice, nullptr, false, true},
        {1039, kChoice, nullptr, false, true},
        {1041, kChoice, nullptr, false, true},
        {1045, kChoice, nullptr, true, true},
        {1037, kChoice, nullptr, true, true},
        {1038, kChoice, nullptr, true, true},
        {1051, kText, "Spazio su disco utilizzato per minuto (stima)", true, true},
        {1011, kButton, "Predefinito", true, true},
        {1054, kText, "", true, true},
        {1056, kRadio, "Salvataggio automatico Data/Ora", true, true},
        {1055, kRadio, "Salvataggio manuale da parte dell\u2019utente", true, true},
        {1014, kEdit, nullptr, true, true},
        {1026, kText, "", true, true},
        {1019, kButton, "Sfoglia", true, true},
    });
    EXPECT_FALSE(dynamic_cast<wxTextCtrl*>(page->FindWindow(1014))->IsEditable());
    EXPECT_EQ(page->FindWindow(1048), nullptr);

    using V = std::vector<std::string>;
    const std::pair<int, V> items[] = {
        {1047, {"Pro (44KHz-320kbps)", "Alto (44Khz-128kbps)", "Medio (44Khz-64kbps)", "Corretto (22Khz-128kbps)",
                "Basso (22Khz-64kbps)"}},
        {1042, {"Stereo", "Mono"}},
        {1046, {"Pro (44KHz-128kbps)", "Alto (44Khz-96kbps)", "Medio (44Khz-64kbps)", "Corretto (32Khz-32kbps)",
                "Basso (22Khz-20kbps)"}},
        {1039, {"Stereo "}},
        {1041, {"Mono"}},
        {1045, {"Alto(44KHz) ", "Medio(22KHz) ", "Corretto(11KHz)"}},
        {1037, {"Stereo ", "Mono"}},
        {1038, {"16 Bit ", " 8 Bit"}},
        {1040, {}},
        {1025, {}},
        {1012, {}},
    };
    for (const auto& [id, expected] : items) EXPECT_EQ(Items(page, id), expected) << "combo " << id;

    // The hidden WMA combos overlap the MP3 ones at the same place.
    EXPECT_EQ(page->FindWindow(1046)->GetPosition(), page->FindWindow(1047)->GetPosition());
    EXPECT_EQ(page->FindWindow(1039)->GetPosition(), page->FindWindow(1042)->GetPosition());
    EXPECT_EQ(page->FindWindow(1041)->GetPosition(), page->FindWindow(1042)->GetPosition());
}

TEST_F(ResourceModuleTest, RadioGroupsKeepTheirMembers) {
    PageHost host;
    ASSERT_TRUE(host.Load(107));
    auto radio = [&](int id) { return dynamic_cast<wxRadioButton*>(host.page->FindWindow(id)); };
    radio(1080)->Enable();
    radio(1080)->SetValue(true);
    radio(1056)->SetValue(true);
    radio(1053)->SetValue(true);
    radio(1024)->SetValue(true);  // the format radios are one group
    EXPECT_FALSE(radio(1053)->GetValue());
    EXPECT_FALSE(radio(1052)->GetValue());
    EXPECT_TRUE(radio(1080)->GetValue());  // other groups untouched
    EXPECT_TRUE(radio(1056)->GetValue());
    radio(1055)->SetValue(true);
    EXPECT_FALSE(radio(1056)->GetValue());
    EXPECT_TRUE(radio(1024)->GetValue());
}

TEST_F(ResourceModuleTest, AdvancedPageBuildsWithEveryControlAndItem) {
    PageHost host;
    ASSERT_TRUE(host.Load(108));
    wxPanel* page = host.page;
    EXPECT_EQ(Utf8(page->GetLabel()), "Avanzate");
    ExpectControls(page, {
        {1030, kRadio, "Specificare", true, true},
        {1057, kRadio, "Senza limite", true, true},
        {1013, kChoice, nullptr, true, false},
        {1015, kChoice, nullptr, true, false},
        {1059, kText, "*Durata di registrazione massima: Inferiore a 2GB", true, true},
        {1060, kText, "Spazio libero su drive :", true, true},
        {1061, kText, "", true, true},
        {1022, kRadio, "Tipo equalizzatore", true, true},
        {1024, kRadio, "Tipo spettro", true, true},
        {1023, kRadio, "Tipo grafico", true, true},
        {1069, kRadio, "Nessuna", true, true},
        {1070, kRadio, "Registrazione vocale", true, true},
        {1071, kRadio, "Gruppo direzionale", true, true},
        {1072, kRadio, "Altoparlante", true, true},
        {1012, kButton, "Dettagli", true, true},
        {1041, kButton, "Impostazione", true, true},
        {1014, kButton, "Impostazione", true, true},
        {1064, kEdit, nullptr, false, false},
        {1067, kSpin, nullptr, false, false},
        {1065, kEdit, nullptr, false, false},
        {1068, kSpin, nullptr, false, false},
        {1011, kButton, "Default", false, false},
        {1017, kCheck, "Enable Silence Detection", false, false},
    });
    std::vector<std::string> hours, minutes;
    for (int i = 0; i < 24; ++i) hours.push_back(std::to_string(i));
    for (int i = 0; i < 60; ++i) minutes.push_back(std::to_string(i));
    EXPECT_EQ(Items(page, 1013), hours);
    EXPECT_EQ(Items(page, 1015), minutes);
    auto radio = [&](int id) { return dynamic_cast<wxRadioButton*>(page->FindWindow(id)); };
    for (int start : {1030, 1022, 1069}) EXPECT_TRUE(radio(start)->HasFlag(wxRB_GROUP)) << start;
    radio(1057)->SetValue(true);
    radio(1023)->SetValue(true);
    radio(1072)->SetValue(true);
    EXPECT_TRUE(radio(1057)->GetValue());
    EXPECT_TRUE(radio(1023)->GetValue());
    EXPECT_FALSE(radio(1069)->GetValue());
}

TEST_F(ResourceModuleTest, AboutAndHelpBoxesBuild) {
    auto* about = new wxDialog;
    ASSERT_TRUE(ResourceModule::LoadDialog(about, nullptr, 147));
    EXPECT_EQ(Utf8(about->GetTitle()), "Informazioni su Murmelo");
    ExpectControls(about, {{1, kButton, "OK", true, true}, {1078, kText, "", true, true}});
    bool sawVersionLabel = false, sawIcon = false;
    for (wxWindow* child : about->GetChildren()) {
        if (Utf8(child->GetLabel()) == "Versione Murmelo") sawVersionLabel = true;
        if (auto* bmp = dynamic_cast<wxStaticBitmap*>(child)) sawIcon = bmp->GetBitmap().IsOk();
    }
    EXPECT_TRUE(sawVersionLabel);
    EXPECT_TRUE(sawIcon);
    about->Destroy();

    auto* help = new wxDialog;
    ASSERT_TRUE(ResourceModule::LoadDialog(help, nullptr, 152));
    EXPECT_EQ(Utf8(help->GetTitle()), "Funzioni speciali di registrazione");
    ExpectControls(help, {{1011, kButton, "OK", true, true}});
    std::vector<std::string> texts;
    for (wxWindow* child : help->GetChildren())
        if (child->IsKindOf(kText)) texts.push_back(Utf8(child->GetLabel()));
    const std::vector<std::string> expected = {
        "- Nessuna : Ciò non produrrà alcun effetto.",
        "- Registrazione vocale : Questa funzione riduce il rumore senza interferire con la voce. In questo modo "
        "è possibile registrare la propria voce in modo chiaro.",
        "- Gruppo direzionale: Questa funzione impedisce di registrare altre voci eccetto quella della persona "
        "di fronte al notebook.",
        "- Altoparlante: Questa funzione annulla l'effetto eco durante la registrazione.",
    };
    EXPECT_EQ(texts, expected);
    help->Destroy();
}

TEST_F(ResourceModuleTest, VisualizerBackgroundIsLavenderWithGridLines) {
    const wxBitmap bmp = ResourceModule::LoadBitmap(1007);
    ASSERT_TRUE(bmp.IsOk());
    EXPECT_EQ(bmp.GetWidth(), 279);
    EXPECT_EQ(bmp.GetHeight(), 43);
    const wxImage img = bmp.ConvertToImage();
    // Field: red and green 173 at the top to 194 at the bottom, blue 255.
    EXPECT_EQ(img.GetRed(1, 0), 173);
    EXPECT_EQ(img.GetGreen(1, 0), 173);
    EXPECT_EQ(img.GetBlue(1, 0), 255);
    EXPECT_EQ(img.GetRed(1, 42), 194);
    EXPECT_EQ(img.GetBlue(2, 20), 255);
    // Thin lines every 4 pixels, heavier every 20.
    EXPECT_LT(img.GetRed(4, 20), img.GetRed(3, 20));
    EXPECT_LT(img.GetRed(20, 20), img.GetRed(4, 20));
    EXPECT_LT(img.GetBlue(20, 20), img.GetBlue(4, 20));
    for (unsigned glyph : {153u, 154u}) {
        const wxBitmap g = ResourceModule::LoadBitmap(glyph);
        ASSERT_TRUE(g.IsOk()) << glyph;
        EXPECT_EQ(g.GetSize(), wxSize(16, 16));
    }
    EXPECT_FALSE(ResourceModule::LoadBitmap(9999).IsOk());
}

TEST_F(ResourceModuleTest, IconAndDataEntries) {
    const wxIconBundle icons = ResourceModule::LoadIcon(103);
    ASSERT_FALSE(icons.IsEmpty());
    for (int size : {16, 32, 48}) EXPECT_EQ(icons.GetIconOfExactSize(size).GetWidth(), size) << size;
    EXPECT_TRUE(ResourceModule::LoadIcon(104).IsEmpty());
    EXPECT_FALSE(resources::ProgramIcon().IsEmpty());

    const std::string menu(ResourceModule::RawEntry("menu.txt"));
    for (const char* item : {"POPUP\tAnalog", "32771\tGraph", "32772\tSpectrum", "32773\tEqualizer"})
        EXPECT_NE(menu.find(item), std::string::npos) << item;
    const std::string accel(ResourceModule::RawEntry("accel151.txt"));
    EXPECT_NE(accel.find("Ctrl+O\t1504"), std::string::npos);
    EXPECT_NE(accel.find("Ctrl+S\t1505"), std::string::npos);
    const std::string version(ResourceModule::RawEntry("version.txt"));
    EXPECT_NE(version.find("FileVersion\t1.0.0.19"), std::string::npos);
    EXPECT_NE(version.find("Language\t1040"), std::string::npos);
}

TEST_F(ResourceModuleTest, WrongKindOfTemplateFailsQuietly) {
    auto* dlg = new wxDialog;
    EXPECT_FALSE(ResourceModule::LoadDialog(dlg, nullptr, 107));
    EXPECT_FALSE(ResourceModule::LoadDialog(dlg, nullptr, 9999));
    delete dlg;
    PageHost host;
    EXPECT_FALSE(ResourceModule::LoadPanel(host.page, host.frame.get(), 102));
}

TEST_F(ResourceModuleTest, PagesBuildWithTheirOwnFontsBaseUnits) {
    for (unsigned id : {102u, 107u, 108u, 147u}) {
        const auto base = ResourceModule::TemplateBaseUnits(id);
        ASSERT_TRUE(base) << id;
        EXPECT_GE(base->first, 4) << id;
        EXPECT_LE(base->first, 12) << id;
        EXPECT_GE(base->second, 9) << id;
        EXPECT_LE(base->second, 24) << id;
        std::printf("template %u: base units %d x %d\n", id, base->first, base->second);
    }
    const auto base = ResourceModule::TemplateBaseUnits(107);
    PageHost host;
    ASSERT_TRUE(ResourceModule::LoadPanel(host.page, host.frame.get(), 107, base->first, base->second));
    EXPECT_EQ(host.page->GetSize(), wxSize(platform::DialogUnitsToPixelsX(311, base->first),
                                           platform::DialogUnitsToPixelsY(215, base->second)));
    EXPECT_EQ(host.page->FindWindow(1019)->GetPosition(),
              wxPoint(platform::DialogUnitsToPixelsX(261, base->first), platform::DialogUnitsToPixelsY(197, base->second)));
    EXPECT_EQ(Utf8(host.page->GetLabel()), "Generale");
}

// Last in this file's order, but independent: it reloads the module for any test after it.
TEST_F(ResourceModuleTest, MissingOrUnusableModuleIsRefusedQuietly) {
    harness::TempDir dir;
    {
        std::ofstream(dir / "notelf.so") << "this is not a shared object";
    }
    const std::string candidates[] = {
        (dir / "Lexel.so").string(),     // missing
        (dir / "notelf.so").string(),    // not a shared object
        "libm.so.6",                     // a library without the resources
    };
    for (const std::string& path : candidates) {
        EXPECT_FALSE(ResourceModule::Load(path)) << path;
        EXPECT_FALSE(ResourceModule::IsLoaded()) << path;
        EXPECT_EQ(ResourceModule::LoadString(1200), "") << path;
        auto* dlg = new wxDialog;
        EXPECT_FALSE(ResourceModule::LoadDialog(dlg, nullptr, 102)) << path;
        delete dlg;
        auto* panel = new wxPanel;
        EXPECT_FALSE(ResourceModule::LoadPanel(panel, nullptr, 107)) << path;
        delete panel;
        EXPECT_FALSE(ResourceModule::LoadBitmap(1007).IsOk());
        EXPECT_TRUE(ResourceModule::LoadIcon(103).IsEmpty());
        EXPECT_FALSE(ResourceModule::ControlRect(102, 1005));
    }
    ASSERT_TRUE(ResourceModule::Load(ModulePath()));
    EXPECT_EQ(ResourceModule::LoadString(1200), "Guida");
    ResourceModule::Free();
    ResourceModule::Free();  // twice is harmless
    EXPECT_FALSE(ResourceModule::IsLoaded());
    EXPECT_EQ(ResourceModule::LoadString(1200), "");
}

}  // namespace
