#include "capture/camera_properties_texts.h"

#include "platform/language_id.h"

#include <cstddef>

namespace {

constexpr std::size_t kTextCount = static_cast<std::size_t>(PropertiesText::DefaultsNotTaken) + 1;

struct LocalizedTexts {
    std::uint16_t languageId;
    const char* texts[kTextCount];
};

constexpr LocalizedTexts kEnglish = {
    LANGID_ENGLISH_US,
    {"Close", "Default", "Picture", "Camera", "Auto", "This camera has no settings.",
     "The camera did not take the value.", "the camera does not take this value now",
     "The camera did not take every default."}};

constexpr LocalizedTexts kTexts[] = {
    {1028,
     {"關閉", "預設值", "影像", "攝影機", "自動", "這台攝影機沒有可調整的設定。",
      "攝影機不接受這個值。", "攝影機目前不接受這個值", "攝影機沒有接受所有的預設值。"}},
    {1031,
     {"Schließen", "Standard", "Bild", "Kamera", "Automatisch",
      "Diese Kamera hat keine Einstellungen.", "Die Kamera hat den Wert nicht übernommen.",
      "die Kamera nimmt diesen Wert jetzt nicht an",
      "Die Kamera hat nicht alle Standardwerte übernommen."}},
    {1034,
     {"Cerrar", "Predeterminado", "Imagen", "Cámara", "Automático",
      "Esta cámara no tiene ajustes.", "La cámara no aceptó el valor.",
      "la cámara no acepta este valor ahora",
      "La cámara no aceptó todos los valores predeterminados."}},
    {1036,
     {"Fermer", "Par défaut", "Image", "Caméra", "Automatique", "Cette caméra n'a aucun réglage.",
      "La caméra n'a pas accepté la valeur.", "la caméra n'accepte pas cette valeur pour l'instant",
      "La caméra n'a pas accepté toutes les valeurs par défaut."}},
    {1040,
     {"Chiudi", "Predefinito", "Immagine", "Videocamera", "Automatico",
      "Questa videocamera non ha impostazioni.", "La videocamera non ha accettato il valore.",
      "la videocamera non accetta questo valore ora",
      "La videocamera non ha accettato tutti i valori predefiniti."}},
    {1041,
     {"閉じる", "既定値", "画像", "カメラ", "自動", "このカメラには設定がありません。",
      "カメラがこの値を受け付けませんでした。", "カメラは現在この値を受け付けません",
      "カメラがすべての既定値を受け付けませんでした。"}},
    {2052,
     {"关闭", "默认值", "图像", "摄像头", "自动", "此摄像头没有可调整的设置。",
      "摄像头不接受该值。", "摄像头当前不接受该值", "摄像头没有接受所有默认值。"}},
};

} // namespace

const char* PropertiesTextFor(PropertiesText text, std::uint16_t languageId) {
    const auto index = static_cast<std::size_t>(text);
    for (const LocalizedTexts& language : kTexts) {
        if (language.languageId == languageId)
            return language.texts[index];
    }
    return kEnglish.texts[index];
}

const char* PropertiesTextOf(PropertiesText text) {
    return PropertiesTextFor(text, GetSystemDefaultLangID());
}
