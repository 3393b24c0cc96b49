// The two questions of the photo library in every language, byte for byte:
// the texts are the user's only view of these decisions, and a changed byte
// (an accent, a full-width mark, a space) would go unseen by every other test.

#include "library/library_texts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

TEST(LibraryTexts, EveryLanguageHasItsTextsExactly) {
    const struct {
        std::uint16_t languageId;
        std::string counterReset;
        std::string deleteConfirm;
    } cases[] = {
        {1028,
         "\xe5\xa6\xb3\xe7\x9a\x84\xe5\x9c\x96\xe7\x89\x87\xe5\xb7\xb2\xe7\xb6\x93\xe5\x88\xb0\xe9"
         "\x81\x94\xe6\x9c\x80\xe4\xb8\x8a\xe9\x99\x90(10000)"
         "\n\xe4\xbd\xa0\xe8\xa6\x81\xe9\x87\x8d\xe6\x96\xb0\xe8\xa8\xad\xe5\xae\x9a\xe5\x9c\x96"
         "\xe7\x89\x87\xe8\xa8\x88\xe6\x95\xb8?",
         "\xe7\xa2\xba\xe8\xaa\x8d\xe6\xad\xa4\xe9\xa0\x85\xe5\x8b\x95\xe4\xbd\x9c."},
        {1031,
         "Ihre Fotographie Quantitat kam bereits die oberste Begrenzung an(10000)\nMochten Sie "
         "Zahlimpuls Bis Null Zuruckstellen?",
         "Sie m\xc3\xbcssen diesen Betrieb best\xc3\xa4tigen"},
        {1034,
         "Su cantidad de la fotografia llego ya el limite mas superior(10000)\nUsted Desea "
         "Reajustar Cuenta A Cero ?",
         "Usted necesita confirmar esta operaci\xc3\xb3n"},
        {1036,
         "Votre quantite de photographie deja est arrivee la limite la plus "
         "superieure(10000)\nVoulez-vous Remettre Le Compte A Zero ?",
         "Vous devez confirmer cette op\xc3\xa9ration"},
        {1040,
         "La vostra quantita della fotografia gia e arrivato il limite "
         "superiore(10000)\nDesiderate Ripristinare Il Conteggio A Zero?",
         "Dovete confermare questo funzionamento."},
        {1041,
         "\xe3\x81\x82\xe3\x81\xaa\xe3\x81\x9f\xe3\x81\xae\xe5\x86\x99\xe7\x9c\x9f\xe3\x81\xae\xe9"
         "\x87\x8f\xe3\x81\xaf\xe6\x97\xa2\xe3\x81\xab\xe4\xb8\x8a\xe9\x99\x90\xe7\x9d\x80\xe3\x81"
         "\x84\xe3\x81\x9f(10000)"
         "\n\xe3\x82\xbc\xe3\x83\xad\xe3\x81\xab\xe8\xa8\x88\xe7\xae\x97\xe3\x82\x92\xe5\x86\x8d"
         "\xe8\xaa\xbf\xe7\xaf\x80\xe3\x81\x97\xe3\x81\x9f\xe3\x81\x84\xe3\x81\xa8\xe6\x80\x9d\xe3"
         "\x81\x86?",
         "\xe3\x81\x93\xe3\x81\xae\xe6\x93\x8d\xe4\xbd\x9c\xe3\x82\x92\xe7\xa2\xba\xe8\xaa\x8d\xe3"
         "\x81\x99\xe3\x82\x8b\xe5\xbf\x85\xe8\xa6\x81\xe3\x81\x8c\xe3\x81\x82\xe3\x82\x8b."},
        {2052,
         "\xe6\x82\xa8\xe7\x9a\x84\xe7\x9b\xb8\xe7\x89\x87\xe6\x95\xb0\xe9\x87\x8f\xe5\xb7\xb2\xe7"
         "\xbb\x8f\xe5\x88\xb0\xe8\xbe\xbe\xe4\xba\x86\xe4\xb8\x8a\xe9\x99\x90(10000)"
         "\n\xe6\x82\xa8\xe6\x83\xb3\xe8\xa6\x81\xe9\x87\x8d\xe6\x96\xb0\xe8\xae\xbe\xe7\xbd\xae"
         "\xe8\xae\xa1\xe6\x95\xb0\xe5\x88\xb0\xe9\x9b\xb6 ?",
         "\xe6\x82\xa8\xe9\x9c\x80\xe8\xa6\x81\xe8\xaf\x81\xe5\xae\x9e\xe8\xbf\x99\xe6\x93\x8d\xe4"
         "\xbd\x9c."},
        {1033,
         "Your photograph quantity already arrived the most upper limit( 10000 )\nDo You Want To "
         "Reset Count To Zero ?",
         "You need to confirm this operation."},
        {2055,
         "Your photograph quantity already arrived the most upper limit( 10000 )\nDo You Want To "
         "Reset Count To Zero ?",
         "You need to confirm this operation."},
        {3082,
         "Your photograph quantity already arrived the most upper limit( 10000 )\nDo You Want To "
         "Reset Count To Zero ?",
         "You need to confirm this operation."},
        {0,
         "Your photograph quantity already arrived the most upper limit( 10000 )\nDo You Want To "
         "Reset Count To Zero ?",
         "You need to confirm this operation."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CounterResetText(c.languageId), c.counterReset) << c.languageId;
        EXPECT_EQ(DeleteConfirmText(c.languageId), c.deleteConfirm) << c.languageId;
    }
}
