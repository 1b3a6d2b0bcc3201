#include "resources/MessageTable.h"

namespace resources {

namespace {

constexpr std::size_t kCount = kLastMessageId - kFirstMessageId + 1;

struct Language {
    unsigned short langId;
    std::array<std::string_view, kCount> texts;
};

// 1005 and 1006 carry a second line break in most languages, as the translations were delivered.
constexpr Language kTable[] = {
    {0x0409,
     {"Voice Recording\r\n", "Directional Array\r\n", "Edit\r\n",
      "Invalid file format. This file format currently not supported.\r\n", "Recording Failed\r\n",
      "Speaker Phone\r\n", "No Filtering\r\n", "Volume\r\n", "Mute\r\n", "Waiting...\r\n", "Built-in \r\n",
      "External \r\n", "MIC:\r\n", "Mic\r\n",
      "The drive or UNC share you selected does not exist or it is not accessible\r\n"}},
    {0x0407,
     {"Sprachaufnahme\r\n", "Richtungs-Array\r\n", "Bearbeiten\r\n",
      "Unzulässiges Dateiformat. Dieses Dateiformat wird derzeit nicht unterstützt. \r\n",
      "Aufnahme fehlgeschlagen\r\n", "Lautsprecher\r\n\r\n", "Keine\r\n\r\n", "Lautstärke\r\n", "Ton aus\r\n",
      "Waiting...\r\n", "Integriert \r\n", "Extern \r\n", "MIK:\r\n", "Mik\r\n",
      "Das ausgewählte Laufwerk oder die ausgewählte UNC-Freigabe ist nicht vorhanden, oder es kann nicht "
      "darauf zugegriffen werden\r\n"}},
    {0x040C,
     {"Enregistrement vocal\r\n", "Réseau directionnel\r\n", "Editer  \r\n",
      "Format de fichier non valide. Ce format de fichier n'est pas pris en charge actuellement.\r\n",
      "Échec de l'enregistrement\r\n", "Téléphone à haut-parleur\r\n\r\n", "Aucun\r\n\r\n", "Volume\r\n",
      "Sourdine\r\n", "Waiting...\r\n", "Intégré \r\n", "Externe \r\n", "MICRO :\r\n", "Micro\r\n",
      "Le lecteur ou le partage UNC sélectionné n'existe pas ou n'est pas accessible\r\n"}},
    {0x0410,
     {"Registrazione vocale\r\n", "Gruppo direzionale\r\n", "Modifica \r\n",
      "Formato file non valido. Questo formato non è attualmente supportato. \r\n",
      "Registrazione non riuscita\r\n", "Altoparlante\r\n\r\n", "Nessuna\r\n\r\n", "Volume\r\n", "Mute\r\n",
      "Waiting...\r\n", "Incorporato \r\n", "Esterno \r\n", "MIC:\r\n", "Mic\r\n",
      "Il drive o lo share UNC selezionato non esiste o non è accessibile\r\n"}},
    {0x0C0A,
     {"Grabación de voz\r\n", "Adaptador direccional\r\n", "Editar\r\n",
      "Formato de archivo no válido. Actualmente no se admite este formato de archivo.\r\n",
      "Error de grabación\r\n", "Altavoz del teléfono\r\n\r\n", "Ninguna\r\n\r\n", "Volumen\r\n",
      "Silencio\r\n", "Waiting...\r\n", "Integrado \r\n", "Externo \r\n", "MIC:\r\n", "Mic\r\n",
      "La unidad o el recurso compartido UNC no existen o no están accesibles\r\n"}},
    {0x0816,
     {"Gravação de voz\r\n", "Agregado direccional\r\n", "Editar\r\n",
      "Formato de ficheiro inválido. Este formato de ficheiro não é suportado. \r\n",
      "Falha na gravação\r\n", "Altifalante\r\n\r\n", "Nenhum\r\n\r\n", "Volume\r\n", "Sem som\r\n",
      "Waiting...\r\n", "Incorporado \r\n", "Externo \r\n", "MIC:\r\n", "Mic\r\n",
      "A partilha UNC ou da unidade seleccionada não existe ou não está acessível\r\n"}},
    {0x0419,
     {"Запись голоса\r\n", "Направленный массив\r\n", "Редактировать\r\n",
      "Неверный формат файла. Формат файла сейчас не поддерживается. \r\n", "Сбой записи\r\n",
      "Громкая связь\r\n\r\n", "Нет\r\n\r\n", "Громкость\r\n", "Отключить звук\r\n", "Waiting...\r\n",
      "Встроенный \r\n", "Внешний \r\n", "МИК:\r\n", "Мик\r\n",
      "Выбранный диск или хранилище UNC не существует или недоступно\r\n"}},
    {0x0404,
     {"語音錄製\r\n", "定向陣列\r\n", "編輯\r\n", "無效的檔案格式。此檔案格式目前不受支援。\r\n", "錄製失敗\r\n",
      "免持聽筒\r\n\r\n", "無\r\n", "音量\r\n", "靜音\r\n", "Waiting...\r\n", "內建 \r\n", "外接 \r\n",
      "麥克風:\r\n", "麥克風\r\n", "您選擇的磁碟機或 UNC 共用不存在或無法存取\r\n"}},
    {0x0804,
     {"语音录制\r\n", "方向性数组\r\n", "编辑\r\n", "无效的文件格式。当前不支持此类文件格式。\r\n", "录制失败\r\n",
      "扬声器电话\r\n\r\n", "无\r\n\r\n", "音量\r\n", "静音\r\n", "Waiting...\r\n", "内置 \r\n", "外接 \r\n",
      "麦克风:\r\n", "麦克风\r\n", "您选择的驱动器或 UNC 共享不存在或无法访问\r\n"}},
    {0x0412,
     {"음성 녹음\r\n", "지향성 빔\r\n", "편집\r\n", "유효하지 않은 파일 포맷입니다. 이 파일 포맷은 지원되지 않습니다.\r\n",
      "녹음 실패\r\n", "스피커 폰\r\n\r\n", "필터링 없음\r\n\r\n", "볼륨\r\n", "음소거\r\n", "Waiting...\r\n",
      "내장 \r\n", "외장 \r\n", "마이크:\r\n", "마이크\r\n",
      "선택한 드라이브 또는 UNC 공유가 존재하지 않거나 액세스할 수 없습니다\r\n"}},
};

}  // namespace

std::optional<std::string_view> FindMessage(unsigned langId, unsigned id) {
    if (id < kFirstMessageId || id > kLastMessageId) return std::nullopt;
    for (const Language& lang : kTable) {
        if (lang.langId == langId) return lang.texts[id - kFirstMessageId];
    }
    return std::nullopt;
}

}  // namespace resources
