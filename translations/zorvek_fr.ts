<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>std</name>
    <message>
        <location filename="../src/audio/AudioPipeline.cpp" line="+25"/>
        <source>%s was not found.</source>
        <translation>%s est introuvable.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Access to %s was denied.</source>
        <translation>L&apos;accès à %s a été refusé.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>A sharing violation occurred while accessing %s.</source>
        <translation>Une violation de partage s&apos;est produite lors de l&apos;accès à %s.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>An unknown error occurred while accessing %s.</source>
        <translation>Une erreur inconnue s&apos;est produite lors de l&apos;accès à %s.</translation>
    </message>
    <message>
        <location filename="../src/image/FlashFill.cpp" line="+59"/>
        <source>%llu KiB / %llu KiB</source>
        <translation>%llu Kio / %llu Kio</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%s (assumed)</source>
        <translation>%s (supposé)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%s, %.1f s free</source>
        <translation>%s, %.1f s libres</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%s, %.1f s too long</source>
        <translation>%s, %.1f s de trop</translation>
    </message>
    <message>
        <location filename="../src/job/ProgressEstimate.cpp" line="+94"/>
        <source>about %ld s left</source>
        <translation>environ %ld s restantes</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>%.1f KiB/s</source>
        <translation>%.1f Kio/s</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>%.0f KiB/s</source>
        <translation>%.0f Kio/s</translation>
    </message>
    <message>
        <location filename="../src/job/Result.cpp" line="+12"/>
        <source>cancelled</source>
        <translation>annulé</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>ok</source>
        <translation>ok</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>the adapter failed</source>
        <translation>l&apos;adaptateur a échoué</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>a page program would cross a page boundary</source>
        <translation>une programmation de page franchirait une limite de page</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>the flash was still busy</source>
        <translation>la flash était encore occupée</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>flash not recognised</source>
        <translation>flash non reconnue</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>read-back differs</source>
        <translation>la relecture diffère</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>the flash is write-protected</source>
        <translation>la mémoire flash est protégée en écriture</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>failed</source>
        <translation>échec</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> (status %d)</source>
        <translation> (état %d)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> after %d seconds</source>
        <translation> après %d secondes</translation>
    </message>
    <message>
        <location line="+2"/>
        <source> at 0x%06X</source>
        <translation> à 0x%06X</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>invalid argument</source>
        <translation>argument non valide</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>not supported</source>
        <translation>non pris en charge</translation>
    </message>
    <message>
        <location filename="../src/job/SlotTable.cpp" line="+34"/>
        <source>None</source>
        <translation>Aucun</translation>
    </message>
    <message>
        <location filename="../src/operations/RunSummary.cpp" line="+27"/>
        <source>Programmed and verified</source>
        <translation>Programmée et vérifiée</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Programmed (not verified)</source>
        <translation>Programmée (non vérifiée)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Written and verified</source>
        <translation>Écrite et vérifiée</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Written (not verified)</source>
        <translation>Écrite (non vérifiée)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Read and saved</source>
        <translation>Lue et enregistrée</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Firmware updated</source>
        <translation>Micrologiciel mis à jour</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>sector erased</source>
        <translation>secteur effacé</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>sectors erased</source>
        <translation>secteurs effacés</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>page written</source>
        <translation>page écrite</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>pages written</source>
        <translation>pages écrites</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>already right</source>
        <translation>déjà justes</translation>
    </message>
    <message>
        <location filename="../src/operations/SelfTest.cpp" line="+147"/>
        <source>Self-test report</source>
        <translation>Rapport d&apos;auto-test</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Times and speeds are modelled by the simulated siren, not measured.</source>
        <translation>Les durées et vitesses sont modélisées par la sirène simulée, pas mesurées.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Result: %s</source>
        <translation>Résultat : %s</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Backup of the siren as found: %s</source>
        <translation>Sauvegarde de la sirène telle que trouvée : %s</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The siren may no longer hold what it held before. Restore it from the backup with:</source>
        <translation>La sirène ne contient peut-être plus ce qu&apos;elle contenait. Restaurez-la depuis la sauvegarde avec :</translation>
    </message>
</context>
<context>
    <name>zorvek</name>
    <message>
        <location filename="../src/app/CAboutDlg.h" line="+14"/>
        <source>About Zorvek USB Siren Programmer</source>
        <translation>À propos du programmateur de sirènes USB Zorvek</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zorvek USB Siren Programmer Version 3.1</source>
        <translation>Programmateur de sirènes USB Zorvek version 3.1</translation>
    </message>
    <message>
        <location filename="../src/app/CAdapterDlg.h" line="+18"/>
        <source>Choose Adapter</source>
        <translation>Choisir l&apos;adaptateur</translation>
    </message>
    <message>
        <location filename="../src/app/ControlIds.cpp" line="+12"/>
        <location filename="../src/job/Usage.cpp" line="+16"/>
        <location line="+1"/>
        <source>Message 2</source>
        <translation>Message 2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>WAV &amp;2 Open</source>
        <translation>WAV &amp;2 Ouvrir</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/job/Usage.cpp" line="-1"/>
        <location line="+1"/>
        <source>Message 3</source>
        <translation>Message 3</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>WAV &amp;3 Open</source>
        <translation>WAV &amp;3 Ouvrir</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/job/Usage.cpp" line="-1"/>
        <location line="+1"/>
        <source>Message 4</source>
        <translation>Message 4</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>WAV &amp;4 Open</source>
        <translation>WAV &amp;4 Ouvrir</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/job/Usage.cpp" line="-1"/>
        <source>Message 5</source>
        <translation>Message 5</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>WAV &amp;5 Open</source>
        <translation>WAV &amp;5 Ouvrir</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/job/Usage.cpp" line="+0"/>
        <source>Message 6</source>
        <translation>Message 6</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>WAV &amp;6 Open</source>
        <translation>WAV &amp;6 Ouvrir</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/job/Usage.cpp" line="+0"/>
        <source>Message 7</source>
        <translation>Message 7</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>WAV &amp;7 Open</source>
        <translation>WAV &amp;7 Ouvrir</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/job/Usage.cpp" line="+0"/>
        <location line="+1"/>
        <source>Message 1</source>
        <translation>Message 1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>WAV &amp;1 Open</source>
        <translation>WAV &amp;1 Ouvrir</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Gas</source>
        <translation>Gaz</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fire</source>
        <translation>Incendie</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ind. (DC)</source>
        <translation>Ind. (CC)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ind. (AC)</source>
        <translation>Ind. (CA)</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Select a voice message for stage 1...</source>
        <translation>Choisir un message vocal pour l&apos;étape 1...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Select a voice message for stage 2...</source>
        <translation>Choisir un message vocal pour l&apos;étape 2...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Select a voice message for stage 3...</source>
        <translation>Choisir un message vocal pour l&apos;étape 3...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Select a voice message for stage 4...</source>
        <translation>Choisir un message vocal pour l&apos;étape 4...</translation>
    </message>
    <message>
        <location filename="../src/audio/AudioPipeline.cpp" line="+77"/>
        <source>Broadcast WAV Eliminate NOT successful.</source>
        <translation>La suppression des données Broadcast WAV a échoué.</translation>
    </message>
    <message>
        <location line="+44"/>
        <location filename="../src/operations/SirenOperations.h" line="+29"/>
        <source>Siren has NOT been programmed.</source>
        <translation>La sirène n&apos;a PAS été programmée.</translation>
    </message>
    <message>
        <location filename="../src/audio/MessageForecast.cpp" line="+31"/>
        <source>Only 8-, 16-, 24- or 32-bit PCM can be converted.</source>
        <translation>Seul le PCM 8, 16, 24 ou 32 bits peut être converti.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The sample rate must be from %u to %u samples/s.</source>
        <translation>La fréquence d&apos;échantillonnage doit être comprise entre %u et %u échantillons/s.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The file is too short to give a single sample.</source>
        <translation>Le fichier est trop court pour donner un seul échantillon.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>The file cannot be opened.</source>
        <translation>Le fichier ne peut pas être ouvert.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The file is not an uncompressed PCM WAV file.</source>
        <translation>Le fichier n&apos;est pas un fichier WAV PCM non compressé.</translation>
    </message>
    <message>
        <location filename="../src/audio/MessagePreview.cpp" line="+45"/>
        <source>No temporary folder could be made.</source>
        <translation>Impossible de créer un dossier temporaire.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The file cannot be read.</source>
        <translation>Le fichier ne peut pas être lu.</translation>
    </message>
    <message>
        <location line="+14"/>
        <location line="+5"/>
        <source>The file could not be converted.</source>
        <translation>Le fichier n&apos;a pas pu être converti.</translation>
    </message>
    <message>
        <location filename="../src/job/JobState.h" line="+82"/>
        <source>Zorvek USB Siren Programmer</source>
        <translation>Programmateur de sirènes USB Zorvek</translation>
    </message>
    <message>
        <location filename="../src/job/SlotTable.cpp" line="+4"/>
        <source>None</source>
        <translation>Aucun</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Single</source>
        <translation>Simple</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Double</source>
        <translation>Double</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Static</source>
        <translation>Fixe</translation>
    </message>
    <message>
        <location filename="../src/job/Usage.cpp" line="-5"/>
        <location line="+2"/>
        <source>Default Warning Message</source>
        <translation>Message d&apos;avertissement par défaut</translation>
    </message>
    <message>
        <location line="-2"/>
        <location line="+2"/>
        <source>Stage 1: Alert</source>
        <translation>Étape 1 : Alerte</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>Stage 2: Gas Release Imminent</source>
        <translation>Étape 2 : Libération de gaz imminente</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Stage 3: Gas Released</source>
        <translation>Étape 3 : Gaz libéré</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <location line="+1"/>
        <source>(Not Used)</source>
        <translation>(Non utilisé)</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>Gas Release on Hold</source>
        <translation>Libération du gaz suspendue</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stage 2: Evacuate</source>
        <translation>Étape 2 : Évacuer</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Test Message</source>
        <translation>Message de test</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Test Over Message</source>
        <translation>Message de fin de test</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Not Available</source>
        <translation>Non disponible</translation>
    </message>
    <message>
        <location filename="../src/operations/ConfigCommands.cpp" line="+34"/>
        <source>Save cancelled by user.</source>
        <translation>Enregistrement annulé par l&apos;utilisateur.</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+6"/>
        <location line="+40"/>
        <location line="+4"/>
        <source>Caution!</source>
        <translation>Attention !</translation>
    </message>
    <message>
        <location line="-44"/>
        <location line="+44"/>
        <source>No file selected!</source>
        <translation>Aucun fichier sélectionné !</translation>
    </message>
    <message>
        <location line="-39"/>
        <source>The configuration was not saved.</source>
        <translation>La configuration n&apos;a pas été enregistrée.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Warning!</source>
        <translation>Avertissement !</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Load cancelled by user.</source>
        <translation>Chargement annulé par l&apos;utilisateur.</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+14"/>
        <source>Error trying to open config.</source>
        <translation>Erreur à l&apos;ouverture de la configuration.</translation>
    </message>
    <message>
        <location filename="../src/operations/FlashRoutines.cpp" line="+285"/>
        <source>Verifying</source>
        <translation>Vérification</translation>
    </message>
    <message>
        <location filename="../src/operations/FlashRoutines.h" line="+27"/>
        <source>Electronic Signature = 0x%x.</source>
        <translation>Signature électronique = 0x%x.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Flash Status Register = 0x%x.</source>
        <translation>Registre d&apos;état de la flash = 0x%x.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Error verifying! Check connections and try again. Location %d.</source>
        <translation>Erreur de vérification ! Vérifiez les connexions et réessayez. Position %d.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Flash not recognised: electronic signature 0x%x.
Check connections and try again.</source>
        <translation>Flash non reconnue : signature électronique 0x%x.
Vérifiez les connexions et réessayez.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Could not read the flash&apos;s electronic signature.
Check connections and try again.</source>
        <translation>Impossible de lire la signature électronique de la flash.
Vérifiez les connexions et réessayez.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Internal error: a page program of %d bytes at 0x%06X would cross a %u-byte page boundary.
Nothing was written; the operation stops.</source>
        <translation>Erreur interne : une programmation de page de %d octets à 0x%06X franchirait une limite de page de %u octets.
Rien n&apos;a été écrit ; l&apos;opération s&apos;arrête.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The flash was still busy after %d seconds, so the operation was stopped.
Check connections and try again.</source>
        <translation>La flash était encore occupée après %d secondes, l&apos;opération a donc été arrêtée.
Vérifiez les connexions et réessayez.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Flash not recognised: JEDEC ID %s (%s) is not in the chip table, and the flash reports no usable SFDP parameters (%s).
Nothing was erased or written.</source>
        <translation>Mémoire flash non reconnue : l&apos;identifiant JEDEC %s (%s) n&apos;est pas dans la table des puces, et la mémoire flash n&apos;indique aucun paramètre SFDP utilisable (%s).
Rien n&apos;a été effacé ni écrit.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The flash is still busy with an erase or write an earlier run started (%s), so it cannot be identified yet.
A whole-chip erase can take a minute or more: wait, then try again.</source>
        <translation>La mémoire flash est encore occupée par un effacement ou une écriture qu’une exécution précédente a commencé (%s) ; elle ne peut pas encore être identifiée.
L’effacement de toute la puce peut prendre une minute ou plus : attendez, puis réessayez.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>A flash answers in the socket but cannot be used (%s); waiting for a siren that can be.</source>
        <translation>Une mémoire flash répond dans le support mais ne peut pas être utilisée (%s) ; attente d’une sirène utilisable.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Flash not recognised: %s.
Check connections and try again.</source>
        <translation>Mémoire flash non reconnue : %s.
Vérifiez les connexions et réessayez.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The flash (JEDEC ID %s, %s) is not in the chip table, using the parameters it reports: %s, %u-byte pages.</source>
        <translation>La mémoire flash (identifiant JEDEC %s, %s) n&apos;est pas dans la table des puces ; les paramètres qu&apos;elle indique sont utilisés : %s, pages de %u octets.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The flash is write-protected (%s), so nothing was erased or written.
Check the siren&apos;s WP line (it must be high to change the protection) and whether its firmware locks the flash, then try again.</source>
        <translation>La mémoire flash est protégée en écriture (%s) ; rien n&apos;a donc été effacé ni écrit.
Vérifiez la ligne WP de la sirène (elle doit être à l&apos;état haut pour changer la protection) et si son micrologiciel verrouille la mémoire flash, puis réessayez.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The flash did not accept the erase or program at 0x%06X: it is write-protected there.
Check the siren&apos;s WP line and whether its firmware locks the flash, then try again.</source>
        <translation>La mémoire flash n&apos;a pas accepté l&apos;effacement ou la programmation à 0x%06X : elle y est protégée en écriture.
Vérifiez la ligne WP de la sirène et si son micrologiciel verrouille la mémoire flash, puis réessayez.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>SPI clock %.2f MHz (asked for %.2f MHz).</source>
        <translation>Horloge SPI %.2f MHz (demandée : %.2f MHz).</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Flash block protection lifted (status register was 0x%02X).</source>
        <translation>Protection des blocs de la mémoire flash levée (le registre d&apos;état valait 0x%02X).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The flash&apos;s block protection was lifted for writing and has been restored (status register 0x%02X).</source>
        <translation>La protection des blocs de la mémoire flash a été levée pour l&apos;écriture et rétablie (registre d&apos;état 0x%02X).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The flash&apos;s block protection (status register 0x%02X) could not be restored: %s.</source>
        <translation>La protection des blocs de la mémoire flash (registre d&apos;état 0x%02X) n&apos;a pas pu être rétablie : %s.</translation>
    </message>
    <message>
        <location filename="../src/operations/ProgramOperation.cpp" line="+155"/>
        <source>Erasing...</source>
        <translation>Effacement...</translation>
    </message>
    <message>
        <location line="+6"/>
        <location filename="../src/operations/UsbConnection.cpp" line="+78"/>
        <source>Programming</source>
        <translation>Programmation</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Programming...</source>
        <translation>Programmation...</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Verifying...</source>
        <translation>Vérification...</translation>
    </message>
    <message>
        <location filename="../src/operations/RunSummary.cpp" line="-14"/>
        <source>Cancelled: the siren is NOT completely programmed</source>
        <translation>Annulé : la sirène n&apos;est PAS entièrement programmée</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Cancelled: the siren may NOT be completely written</source>
        <translation>Annulé : la sirène n&apos;est peut-être PAS entièrement écrite</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancelled: no image was read</source>
        <translation>Annulé : aucune image n&apos;a été lue</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Cancelled: the firmware may NOT be completely updated</source>
        <translation>Annulé : le micrologiciel n&apos;est peut-être PAS entièrement mis à jour</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>%s, %lld s</source>
        <translation>%s, %lld s</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Failed: the siren does not hold what was written</source>
        <translation>Échec : la sirène ne contient pas ce qui a été écrit</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>the adapter could not be opened</source>
        <translation>l&apos;adaptateur n&apos;a pas pu être ouvert</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>the run stopped</source>
        <translation>l&apos;opération s&apos;est arrêtée</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Failed: %s</source>
        <translation>Échec : %s</translation>
    </message>
    <message>
        <location filename="../src/operations/SirenOperations.h" line="+1"/>
        <source>Chosen files too big for flash chip</source>
        <translation>Fichiers choisis trop gros pour la puce flash</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Message %d: %.1f s too long</source>
        <translation>Message %d : %.1f s de trop</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Flash has enough space for files.</source>
        <translation>La flash a assez de place pour les fichiers.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Firmware file not found.
Update not possible.</source>
        <translation>Fichier du micrologiciel introuvable.
Mise à jour impossible.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Changing the firmware can 
have undesired effects. 
Only do so if you are 
certain. The current version 
will be overwritten.
Abort?</source>
        <translation>Changer le micrologiciel peut 
avoir des effets indésirables. 
Ne le faites que si vous êtes 
sûr. La version actuelle 
sera écrasée.
Abandonner ?</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No firmware loaded!
Mirax firmware will NOT be updated!</source>
        <translation>Aucun micrologiciel chargé !
Le micrologiciel Mirax ne sera PAS mis à jour !</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Programming stopped because the siren or the adapter stopped answering.
The siren is NOT (completely) programmed. Check connections and program it again.</source>
        <translation>La programmation s&apos;est arrêtée car la sirène ou l&apos;adaptateur ne répondait plus.
La sirène n&apos;est PAS (entièrement) programmée. Vérifiez les connexions et programmez-la à nouveau.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Writing stopped because the siren or the adapter stopped answering.
The siren is NOT (completely) written. Check connections and write it again.</source>
        <translation>L&apos;écriture s&apos;est arrêtée car la sirène ou l&apos;adaptateur ne répondait plus.
La sirène n&apos;est PAS (entièrement) écrite. Vérifiez les connexions et écrivez-la à nouveau.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Could not read the siren&apos;s flash, so the firmware was NOT updated.
The siren is unchanged.</source>
        <translation>Impossible de lire la flash de la sirène, le micrologiciel n&apos;a donc PAS été mis à jour.
La sirène est inchangée.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Updating the firmware stopped because the siren or the adapter stopped answering.
The first 64 KiB of the siren are NOT (completely) written. Check connections and update it again.</source>
        <translation>La mise à jour du micrologiciel s&apos;est arrêtée car la sirène ou l&apos;adaptateur ne répondait plus.
Les 64 premiers Kio de la sirène ne sont PAS (entièrement) écrits. Vérifiez les connexions et recommencez la mise à jour.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>What was written could not be verified: the siren or the adapter stopped answering.
Check connections and try again.</source>
        <translation>Ce qui a été écrit n&apos;a pas pu être vérifié : la sirène ou l&apos;adaptateur ne répondait plus.
Vérifiez les connexions et réessayez.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Finishing, please wait...</source>
        <translation>Finalisation, veuillez patienter...</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>What the first 64 KiB held is kept in
%s
The next firmware update of this siren restores it from there.</source>
        <translation>Le contenu des 64 premiers Kio est conservé dans
%s
La prochaine mise à jour du micrologiciel de cette sirène le restaure depuis ce fichier.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>What the first 64 KiB held is kept in
%s
The next firmware update of this siren restores it from there; if it finds them blank, it names that file, to be given with --restore-from.</source>
        <translation>Le contenu des 64 premiers Kio est conservé dans
%s
La prochaine mise à jour du micrologiciel de cette sirène le restaure depuis ce fichier ; si elle les trouve vierges, elle nomme ce fichier, à donner avec --restore-from.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>What the first 64 KiB held is kept in
%s
The siren now holds bits this update did not write, so the next firmware update will NOT restore it from there by itself. Keep that file.</source>
        <translation>Le contenu des 64 premiers Kio est conservé dans
%s
La sirène contient maintenant des bits que cette mise à jour n&apos;a pas écrits : la prochaine mise à jour du micrologiciel NE le restaurera donc PAS d&apos;elle-même depuis ce fichier. Conservez ce fichier.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Found the recovery file of an interrupted firmware update:
%s
The first 64 KiB are restored from it instead of from the siren.</source>
        <translation>Fichier de récupération d&apos;une mise à jour interrompue du micrologiciel trouvé :
%s
Les 64 premiers Kio sont restaurés depuis ce fichier au lieu de la sirène.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>These recovery files of interrupted firmware updates do not belong to this siren&apos;s first 64 KiB,
so they are not used (they are kept):
%s</source>
        <translation>Ces fichiers de récupération de mises à jour interrompues n&apos;appartiennent pas aux 64 premiers Kio de cette sirène,
ils ne sont donc pas utilisés (ils sont conservés) :
%s</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>This siren&apos;s first 64 KiB are blank, so these recovery files of interrupted firmware updates could be
any siren&apos;s; they are not used (they are kept):
%s
If one is this siren&apos;s, name it: zorvek-cli firmware --restore-from FILE FIRMWARE.hex</source>
        <translation>Les 64 premiers Kio de cette sirène sont vierges, ces fichiers de récupération de mises à jour interrompues pourraient donc être
ceux de n&apos;importe quelle sirène ; ils ne sont pas utilisés (ils sont conservés) :
%s
Si l&apos;un d&apos;eux est celui de cette sirène, nommez-le : zorvek-cli firmware --restore-from FICHIER FIRMWARE.hex</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Could not keep a copy of the first 64 KiB before erasing them, so the firmware was NOT updated.
The siren is unchanged.
%s</source>
        <translation>Impossible de conserver une copie des 64 premiers Kio avant de les effacer, le micrologiciel n&apos;a donc PAS été mis à jour.
La sirène est inchangée.
%s</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The siren image file is empty.
Nothing has been written to the siren.</source>
        <translation>Le fichier image de la sirène est vide.
Rien n&apos;a été écrit dans la sirène.</translation>
    </message>
    <message>
        <location filename="../src/operations/UsbConnection.cpp" line="-31"/>
        <location line="+22"/>
        <source>Idle</source>
        <translation>Inactif</translation>
    </message>
    <message>
        <location line="-16"/>
        <source>Device Connected</source>
        <translation>Appareil connecté</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>Reading</source>
        <translation>Lecture</translation>
    </message>
    <message>
        <location filename="../src/operations/UsbConnection.h" line="+11"/>
        <source>FT2232C device found.</source>
        <translation>Appareil FT2232C trouvé.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device name = %s; Location ID = %d.</source>
        <translation>Nom de l&apos;appareil = %s ; ID d&apos;emplacement = %d.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Could not open device.</source>
        <translation>Impossible d&apos;ouvrir l&apos;appareil.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Error initialising SPI.</source>
        <translation>Erreur à l&apos;initialisation du SPI.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Clock frequency = %d Hz.</source>
        <translation>Fréquence d&apos;horloge = %d Hz.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Upper GPIO = %d, %d, %d, %d.</source>
        <translation>GPIO supérieurs = %d, %d, %d, %d.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Error closing device.</source>
        <translation>Erreur à la fermeture de l&apos;appareil.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No siren programmer found.
Check that the USB adapter is plugged in and try again.</source>
        <translation>Aucun programmateur de sirène trouvé.
Vérifiez que l&apos;adaptateur USB est branché et réessayez.</translation>
    </message>
    <message>
        <location filename="../src/ui/QtUserPort.cpp" line="+90"/>
        <source>&amp;Yes</source>
        <translation>&amp;Oui</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;No</source>
        <translation>&amp;Non</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>zorvek::CAdapterDlg</name>
    <message>
        <location filename="../src/app/CAdapterDlg.cpp" line="+20"/>
        <source>Several adapters are attached. Choose the one connected to the siren;
the choice is remembered. Tools &gt; Advanced &gt; Adapter... changes it.</source>
        <translation>Plusieurs adaptateurs sont branchés. Choisissez celui relié à la sirène ;
le choix est mémorisé. Outils &gt; Avancé &gt; Adaptateur... le modifie.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Serial number</source>
        <translation>Numéro de série</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Description</source>
        <translation>Description</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Chip type</source>
        <translation>Type de puce</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Bus</source>
        <translation>Bus</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Status</source>
        <translation>État</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>usable</source>
        <translation>utilisable</translation>
    </message>
</context>
<context>
    <name>zorvek::CProgrammerDlg</name>
    <message>
        <location filename="../src/app/CProgrammerDlg.cpp" line="+231"/>
        <source>Simulated siren: %s.</source>
        <translation>Sirène simulée : %s.</translation>
    </message>
    <message>
        <location line="+226"/>
        <source>(none)</source>
        <translation>(aucun)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Remove Missing Files</source>
        <translation>&amp;Retirer les fichiers absents</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Clear List</source>
        <translation>&amp;Vider la liste</translation>
    </message>
    <message>
        <location filename="../src/app/CProgrammerDlgAdapter.cpp" line="+47"/>
        <source>The adapter chosen for the siren is not attached.</source>
        <translation>L&apos;adaptateur choisi pour la sirène n&apos;est pas branché.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plug it in, or choose another with Tools &gt; Advanced &gt; Adapter...</source>
        <translation>Branchez-le, ou choisissez-en un autre avec Outils &gt; Avancé &gt; Adaptateur...</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>No %s is attached.</source>
        <translation>Aucun %s n&apos;est branché.</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Tools &gt; Siren Writer with %s and Verify ticked</source>
        <translation>Outils &gt; Graveur de sirène avec %s et Vérifier coché</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+2"/>
        <source>Self-Test</source>
        <translation>Auto-test</translation>
    </message>
    <message>
        <location filename="../src/app/CProgrammerDlgBinding.cpp" line="+98"/>
        <source>Please enter an integer between 0 and %d.</source>
        <translation>Veuillez saisir un entier entre 0 et %d.</translation>
    </message>
    <message>
        <location filename="../src/app/CProgrammerDlgLayout.cpp" line="+106"/>
        <source>&amp;Quit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Save the settings and close</source>
        <translation>Enregistrer les réglages et fermer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Program</source>
        <translation>&amp;Programmer</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Program</source>
        <translation>Programmer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Convert the messages and write them into the siren</source>
        <translation>Convertir les messages et les écrire dans la sirène</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+2"/>
        <source>Verify</source>
        <translation>Vérifier</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Read the siren back after programming and compare</source>
        <translation>Relire la sirène après la programmation et comparer</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+204"/>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <location line="-204"/>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Open the user guide</source>
        <translation>Ouvrir le guide de l&apos;utilisateur</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Siren Usage</source>
        <translation>Usage</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Siren usage</source>
        <translation>Usage de la sirène</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Flash usage</source>
        <translation>Occupation de la flash</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>How the messages will fill the siren&apos;s flash</source>
        <translation>Comment les messages rempliront la flash de la sirène</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Static</source>
        <translation>Fixe</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>USB Connection</source>
        <translation>Connexion USB</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Flash Status</source>
        <translation>État de la flash</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Flash ID</source>
        <translation>ID de la flash</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>&amp;Setup USB</source>
        <translation>&amp;Configurer l&apos;USB</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Erase Flash</source>
        <translation>&amp;Effacer la flash</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pro&amp;gram</source>
        <translation>Pro&amp;grammer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Test &amp;Write</source>
        <translation>Test d&apos;é&amp;criture</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Test Rea&amp;d</source>
        <translation>Test de lect&amp;ure</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>C&amp;lose USB</source>
        <translation>&amp;Fermer l&apos;USB</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>HEX Test</source>
        <translation>Test HEX</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>&amp;Verbose</source>
        <translation>&amp;Détaillé</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>ADPCM</source>
        <translation>ADPCM</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Firmware</source>
        <translation>Micrologiciel</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Message %1</source>
        <translation>Message %1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>The WAV file and settings of one message</source>
        <translation>Le fichier WAV et les réglages d&apos;un message</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Message %1 file</source>
        <translation>Message %1 fichier</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Path of the WAV file played as this message</source>
        <translation>Chemin du fichier WAV joué comme ce message</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Message %1 listen</source>
        <translation>Message %1 écouter</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Play the message as the siren will sound</source>
        <translation>Jouer le message tel que la sirène le fera entendre</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Message %1 open file</source>
        <translation>Message %1 ouvrir un fichier</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Choose the WAV file of this message</source>
        <translation>Choisir le fichier WAV de ce message</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No Of Samples</source>
        <translation>Nombre d&apos;échantillons</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stereo</source>
        <translation>Stéréo</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Siren Tone</source>
        <translation>Tonalité</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Message %1 siren tone</source>
        <translation>Message %1 tonalité de sirène</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>The tone the siren sounds with this message</source>
        <translation>La tonalité que la sirène fait entendre avec ce message</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Siren Vol</source>
        <translation>Volume</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Message %1 siren volume</source>
        <translation>Message %1 volume de sirène</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Volume level of this message, 10 loudest</source>
        <translation>Niveau de volume de ce message, 10 le plus fort</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Beacon</source>
        <translation>Flash</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Message %1 beacon</source>
        <translation>Message %1 flash</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>How the beacon flashes with this message</source>
        <translation>Comment le flash clignote avec ce message</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Load &amp;Configuration</source>
        <translation>&amp;Charger une configuration</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Save Configuration</source>
        <translation>&amp;Enregistrer la configuration</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Recent &amp;Jobs</source>
        <translation>&amp;Travaux récents</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>E&amp;xit</source>
        <translation>&amp;Sortir</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Tools</source>
        <translation>&amp;Outils</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Siren &amp;Reader</source>
        <translation>&amp;Lecteur de sirène</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Siren &amp;Writer</source>
        <translation>&amp;Graveur de sirène</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Advanced</source>
        <translation>A&amp;vancé</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Update &amp;Firmware with WAVs</source>
        <translation>Mettre à jour le &amp;micrologiciel avec les WAV</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Update Firm&amp;ware Only</source>
        <translation>Mettre à jour le micro&amp;logiciel seul</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>DIP Switch 32 Tone</source>
        <translation>Commutateur DIP 32 tonalités</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Simulated Siren</source>
        <translation>Sirène simulée</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Adapter...</source>
        <translation>&amp;Adaptateur...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Self-&amp;Test...</source>
        <translation>Auto-&amp;test...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fast erase</source>
        <translation>Effacement rapide</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Write only what differs</source>
        <translation>N&apos;écrire que ce qui diffère</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>SPI Clock</source>
        <translation>Horloge SPI</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>H&amp;elp</source>
        <translation>A&amp;ide</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;About</source>
        <translation>À &amp;propos</translation>
    </message>
    <message>
        <location filename="../src/app/CProgrammerDlgListen.cpp" line="+20"/>
        <source>The message cannot be played.</source>
        <translation>Le message ne peut pas être joué.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Message %d: %s</source>
        <translation>Message %d : %s</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Converting... press to stop</source>
        <translation>Conversion... appuyer pour arrêter</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Stop</source>
        <translation>Arrêter</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Listen to this message as the siren will play it</source>
        <translation>Écouter ce message tel que la sirène le jouera</translation>
    </message>
    <message>
        <location filename="../src/app/CProgrammerDlgPrepare.cpp" line="+22"/>
        <source>Prepare...</source>
        <translation>Préparer...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Trim, filter and level this message, or make it from text</source>
        <translation>Raccourcir, filtrer et niveler ce message, ou le créer à partir d&apos;un texte</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Message %1 prepared%2: %3</source>
        <translation>Message %1 préparé%2 : %3</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>, %1 s shorter</source>
        <translation>, %1 s plus court</translation>
    </message>
</context>
<context>
    <name>zorvek::CProgressWindow</name>
    <message>
        <location filename="../src/ui/CProgressWindow.cpp" line="+139"/>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>zorvek::CWaveFile</name>
    <message>
        <location filename="../src/audio/WaveFileConvert.cpp" line="+111"/>
        <source>Mono</source>
        <translation>Mono</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stereo</source>
        <translation>Stéréo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%u samples/s</source>
        <translation>%u échantillons/s</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>8-bit</source>
        <translation>8 bits</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>16-bit</source>
        <translation>16 bits</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%u samples</source>
        <translation>%u échantillons</translation>
    </message>
    <message>
        <location filename="../src/audio/WaveFileRead.cpp" line="+37"/>
        <source>Failed to open file specified for message %d.</source>
        <translation>Impossible d&apos;ouvrir le fichier indiqué pour le message %d.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Check file exists and it is Uncompressed PCM.</source>
        <translation>Vérifiez que le fichier existe et qu&apos;il est en PCM non compressé.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>(check Help)</source>
        <translation>(voir l&apos;aide)</translation>
    </message>
    <message>
        <location line="+9"/>
        <location line="+5"/>
        <source>No embedded WAVE format within file.</source>
        <translation>Aucun format WAVE intégré dans le fichier.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>File has NO &apos;FMT&apos; chunk.</source>
        <translation>Le fichier n&apos;a PAS de bloc &apos;FMT&apos;.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>ERROR: could not read &apos;FMT&apos; chunk in file.</source>
        <translation>ERREUR : impossible de lire le bloc &apos;FMT&apos; du fichier.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Waveform is compressed. Sorry.</source>
        <translation>La forme d&apos;onde est compressée. Désolé.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>File has no data chunk.</source>
        <translation>Le fichier n&apos;a pas de bloc de données.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The data chunk contains no data in file.</source>
        <translation>Le bloc de données du fichier ne contient aucune donnée.</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Failed to read data chunk in file.</source>
        <translation>Impossible de lire le bloc de données du fichier.</translation>
    </message>
</context>
<context>
    <name>zorvek::FlashBar</name>
    <message>
        <location filename="../src/app/FlashGauge.cpp" line="+49"/>
        <source>Message %1: %2, %3</source>
        <translation>Message %1 : %2, %3</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Message %1: %2: %3</source>
        <translation>Message %1 : %2 : %3</translation>
    </message>
</context>
<context>
    <name>zorvek::PrepareDialog</name>
    <message>
        <location filename="../src/app/PrepareDialog.cpp" line="+48"/>
        <source>Prepare Message %1</source>
        <translation>Préparer le message %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+164"/>
        <source>Choose the steps and press Prepare.</source>
        <translation>Choisissez les étapes et appuyez sur Préparer.</translation>
    </message>
    <message>
        <location line="-163"/>
        <source>Before and after</source>
        <translation>Avant et après</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+173"/>
        <source>&amp;Prepare</source>
        <translation>&amp;Préparer</translation>
    </message>
    <message>
        <location line="-173"/>
        <source>Prepare</source>
        <translation>Préparer</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+178"/>
        <source>&amp;Listen</source>
        <translation>É&amp;couter</translation>
    </message>
    <message>
        <location line="-177"/>
        <source>Listen to the prepared message</source>
        <translation>Écouter le message préparé</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Save and use for this message</source>
        <translation>Enregistrer et utiliser pour ce message</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Saves the prepared message as a new WAV file and puts it into the row</source>
        <translation>Enregistre le message préparé dans un nouveau fichier WAV et le place dans la ligne</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Message from</source>
        <translation>Message à partir de</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Audio &amp;file:</source>
        <translation>&amp;Fichier audio :</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Message from an audio file</source>
        <translation>Message à partir d&apos;un fichier audio</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Audio file (WAV, FLAC, Ogg Vorbis, MP3)</source>
        <translation>Fichier audio (WAV, FLAC, Ogg Vorbis, MP3)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Browse...</source>
        <translation>&amp;Parcourir...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Choose an audio file</source>
        <translation>Choisir un fichier audio</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Text to speak:</source>
        <translation>&amp;Texte à prononcer :</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Message from text to speech</source>
        <translation>Message par synthèse vocale</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Text to speak</source>
        <translation>Texte à prononcer</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Voice</source>
        <translation>Voix</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>No speech voices are installed</source>
        <translation>Aucune voix de synthèse n&apos;est installée</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Speed in words per minute</source>
        <translation>Vitesse en mots par minute</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> words/min</source>
        <translation> mots/min</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Voice:</source>
        <translation>&amp;Voix :</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Speed:</source>
        <translation>V&amp;itesse :</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Steps</source>
        <translation>Étapes</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>T&amp;rim silence at both ends, below</source>
        <translation>&amp;Retirer le silence aux deux bouts, sous</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Trim silence at both ends</source>
        <translation>Retirer le silence aux deux bouts</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Silence threshold in dBFS</source>
        <translation>Seuil de silence en dBFS</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> dBFS</source>
        <translation> dBFS</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;High-pass for horn loudspeakers at</source>
        <translation>Passe-&amp;haut pour haut-parleurs à pavillon à</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>High-pass for horn loudspeakers</source>
        <translation>Passe-haut pour haut-parleurs à pavillon</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>High-pass corner in hertz</source>
        <translation>Fréquence de coupure du passe-haut en hertz</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> Hz</source>
        <translation> Hz</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Loud&amp;ness to</source>
        <translation>&amp;Sonie à</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Normalise loudness</source>
        <translation>Normaliser la sonie</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Loudness target in LUFS</source>
        <translation>Sonie visée en LUFS</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> LUFS</source>
        <translation> LUFS</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>True-peak ceiling in dBTP</source>
        <translation>Plafond de crête vraie en dBTP</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> dBTP</source>
        <translation> dBTP</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>true peak at most</source>
        <translation>crête vraie au plus</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Audio file</source>
        <translation>Fichier audio</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Audio files (*.wav *.flac *.ogg *.oga *.mp3 *.aif *.aiff);;All files (*)</source>
        <translation>Fichiers audio (*.wav *.flac *.ogg *.oga *.mp3 *.aif *.aiff);;Tous les fichiers (*)</translation>
    </message>
    <message>
        <location line="+27"/>
        <location line="+37"/>
        <source>Preparing...</source>
        <translation>Préparation...</translation>
    </message>
    <message>
        <location line="-34"/>
        <source>No sound output</source>
        <translation>Aucune sortie son</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Stop</source>
        <translation>Arrêter</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>Source: %1
Before: %2
</source>
        <translation>Source : %1
Avant : %2
</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>After: %1</source>
        <translation>Après : %1</translation>
    </message>
</context>
<context>
    <name>zorvek::ProductionStation</name>
    <message>
        <location filename="../src/operations/ProductionStation.cpp" line="+101"/>
        <source>The image does not fit this siren&apos;s flash.</source>
        <translation>L&apos;image ne tient pas dans la flash de cette sirène.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Progress</source>
        <translation>Progression</translation>
    </message>
</context>
<context>
    <name>zorvek::ProgressScope</name>
    <message>
        <location filename="../src/operations/OperationSupport.h" line="+35"/>
        <source>Complete...</source>
        <translation>Terminé...</translation>
    </message>
</context>
<context>
    <name>zorvek::RunStatus</name>
    <message>
        <location filename="../src/app/RunStatus.cpp" line="+37"/>
        <source>The adapter the run used</source>
        <translation>L&apos;adaptateur utilisé par l&apos;opération</translation>
    </message>
</context>
<context>
    <name>zorvek::SelfTest</name>
    <message>
        <location filename="../src/operations/SelfTest.cpp" line="-130"/>
        <source>The backup file %s exists already; choose a new name.</source>
        <translation>Le fichier de sauvegarde %s existe déjà ; choisissez un nouveau nom.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>No adapter.</source>
        <translation>Aucun adaptateur.</translation>
    </message>
    <message>
        <location line="+64"/>
        <source>The flash could not be identified; nothing was read or written.</source>
        <translation>La flash n&apos;a pas pu être identifiée ; rien n&apos;a été lu ni écrit.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Reading the siren failed; nothing was written.</source>
        <translation>La lecture de la sirène a échoué ; rien n&apos;a été écrit.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Two reads of the siren differ: the link is unreliable. Nothing was written.</source>
        <translation>Deux lectures de la sirène diffèrent : la liaison n&apos;est pas fiable. Rien n&apos;a été écrit.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Reading the siren again failed; nothing was written.</source>
        <translation>La seconde lecture de la sirène a échoué ; rien n&apos;a été écrit.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>The round trip failed at &quot;%s&quot;.</source>
        <translation>L&apos;aller-retour a échoué à « %s ».</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The siren was written again from the backup and verified.</source>
        <translation>La sirène a été réécrite depuis la sauvegarde et vérifiée.</translation>
    </message>
</context>
<context>
    <name>zorvek::SirenOperations</name>
    <message>
        <location filename="../src/operations/CloneOperations.cpp" line="+38"/>
        <source>Save cancelled by user.</source>
        <translation>Enregistrement annulé par l&apos;utilisateur.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Load cancelled by user.</source>
        <translation>Chargement annulé par l&apos;utilisateur.</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+5"/>
        <location filename="../src/operations/FirmwareCommands.cpp" line="+40"/>
        <location line="+6"/>
        <location line="+28"/>
        <source>Caution!</source>
        <translation>Attention !</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>No file selected!</source>
        <translation>Aucun fichier sélectionné !</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Could not create the siren image file.</source>
        <translation>Impossible de créer le fichier image de la sirène.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Reading</source>
        <translation>Lecture</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+123"/>
        <location filename="../src/operations/FirmwareCommands.cpp" line="+13"/>
        <location filename="../src/operations/ProgramOperation.cpp" line="-71"/>
        <source>Progress</source>
        <translation>Progression</translation>
    </message>
    <message>
        <location line="-121"/>
        <location filename="../src/operations/FirmwareCommands.cpp" line="+3"/>
        <source>Reading...</source>
        <translation>Lecture...</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>Could not read the siren&apos;s flash at address 0x%llX.</source>
        <translation>Impossible de lire la flash de la sirène à l&apos;adresse 0x%llX.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The siren image file was NOT written; any earlier file is unchanged.</source>
        <translation>Le fichier image de la sirène n&apos;a PAS été écrit ; un fichier antérieur reste inchangé.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Reading cancelled. The first %llu bytes read were saved in</source>
        <translation>Lecture annulée. Les %llu premiers octets lus ont été enregistrés dans</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+5"/>
        <source>%s was not changed.</source>
        <translation>%s n&apos;a pas été modifié.</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>Reading cancelled. The bytes read so far could not be saved.</source>
        <translation>Lecture annulée. Les octets lus jusqu&apos;ici n&apos;ont pas pu être enregistrés.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Could not write the siren image file.</source>
        <translation>Impossible d&apos;écrire le fichier image de la sirène.</translation>
    </message>
    <message>
        <location line="+19"/>
        <location line="+24"/>
        <source>Error trying to open data.</source>
        <translation>Erreur à l&apos;ouverture des données.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The siren image file holds data beyond the end of this siren&apos;s flash (%llu bytes).
Nothing has been written to the siren.</source>
        <translation>Le fichier image de la sirène contient des données au-delà de la fin de la flash de cette sirène (%llu octets).
Rien n&apos;a été écrit dans la sirène.</translation>
    </message>
    <message>
        <location filename="../src/operations/FirmwareCommands.cpp" line="-55"/>
        <location line="+34"/>
        <location line="+94"/>
        <source>Warning!</source>
        <translation>Avertissement !</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Erasing...</source>
        <translation>Effacement...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Programming</source>
        <translation>Programmation</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Programming...</source>
        <translation>Programmation...</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Verifying...</source>
        <translation>Vérification...</translation>
    </message>
</context>
<context>
    <name>zorvek::SpeakerOutput</name>
    <message>
        <location filename="../src/app/MessagePlayer.cpp" line="+35"/>
        <source>No audio output was found, so messages cannot be played.</source>
        <translation>Aucune sortie audio n&apos;a été trouvée, les messages ne peuvent donc pas être joués.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Install the sound server package pipewire-pulse (or pulseaudio).</source>
        <translation>Installez le paquet de serveur de son pipewire-pulse (ou pulseaudio).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The audio output cannot play 22010 samples/s, so messages cannot be played.</source>
        <translation>La sortie audio ne peut pas jouer 22010 échantillons/s, les messages ne peuvent donc pas être joués.</translation>
    </message>
</context>
<context>
    <name>zorvek::cli::ConsoleProgress</name>
    <message>
        <location filename="../src/cli/ConsoleUserPort.cpp" line="+109"/>
        <source>%s elapsed</source>
        <translation>%s écoulé</translation>
    </message>
</context>
<context>
    <name>zorvek::detail::WindowFlashObserver</name>
    <message>
        <location filename="../src/operations/LinkFrames.cpp" line="+62"/>
        <source>Erasing</source>
        <translation>Effacement</translation>
    </message>
</context>
</TS>
