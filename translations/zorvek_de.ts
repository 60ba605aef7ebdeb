<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>std</name>
    <message>
        <location filename="../src/audio/AudioPipeline.cpp" line="+25"/>
        <source>%s was not found.</source>
        <translation>%s wurde nicht gefunden.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Access to %s was denied.</source>
        <translation>Der Zugriff auf %s wurde verweigert.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>A sharing violation occurred while accessing %s.</source>
        <translation>Beim Zugriff auf %s ist eine Freigabeverletzung aufgetreten.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>An unknown error occurred while accessing %s.</source>
        <translation>Beim Zugriff auf %s ist ein unbekannter Fehler aufgetreten.</translation>
    </message>
    <message>
        <location filename="../src/image/FlashFill.cpp" line="+59"/>
        <source>%llu KiB / %llu KiB</source>
        <translation>%llu KiB / %llu KiB</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%s (assumed)</source>
        <translation>%s (angenommen)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%s, %.1f s free</source>
        <translation>%s, %.1f s frei</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%s, %.1f s too long</source>
        <translation>%s, %.1f s zu lang</translation>
    </message>
    <message>
        <location filename="../src/job/ProgressEstimate.cpp" line="+94"/>
        <source>about %ld s left</source>
        <translation>noch etwa %ld s</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>%.1f KiB/s</source>
        <translation>%.1f KiB/s</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>%.0f KiB/s</source>
        <translation>%.0f KiB/s</translation>
    </message>
    <message>
        <location filename="../src/job/Result.cpp" line="+12"/>
        <source>cancelled</source>
        <translation>abgebrochen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>ok</source>
        <translation>in Ordnung</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>the adapter failed</source>
        <translation>der Adapter ist ausgefallen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>a page program would cross a page boundary</source>
        <translation>eine Seitenprogrammierung würde eine Seitengrenze überschreiten</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>the flash was still busy</source>
        <translation>der Flash war noch beschäftigt</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>flash not recognised</source>
        <translation>Flash nicht erkannt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>read-back differs</source>
        <translation>Zurückgelesenes weicht ab</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>the flash is write-protected</source>
        <translation>der Flash-Speicher ist schreibgeschützt</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>failed</source>
        <translation>fehlgeschlagen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> (status %d)</source>
        <translation> (Status %d)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> after %d seconds</source>
        <translation> nach %d Sekunden</translation>
    </message>
    <message>
        <location line="+2"/>
        <source> at 0x%06X</source>
        <translation> bei 0x%06X</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>invalid argument</source>
        <translation>ungültiges Argument</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>not supported</source>
        <translation>nicht unterstützt</translation>
    </message>
    <message>
        <location filename="../src/job/SlotTable.cpp" line="+34"/>
        <source>None</source>
        <translation>Keiner</translation>
    </message>
    <message>
        <location filename="../src/operations/RunSummary.cpp" line="+27"/>
        <source>Programmed and verified</source>
        <translation>Programmiert und geprüft</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Programmed (not verified)</source>
        <translation>Programmiert (nicht geprüft)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Written and verified</source>
        <translation>Geschrieben und geprüft</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Written (not verified)</source>
        <translation>Geschrieben (nicht geprüft)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Read and saved</source>
        <translation>Gelesen und gespeichert</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Firmware updated</source>
        <translation>Firmware aktualisiert</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>sector erased</source>
        <translation>Sektor gelöscht</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>sectors erased</source>
        <translation>Sektoren gelöscht</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>page written</source>
        <translation>Seite geschrieben</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>pages written</source>
        <translation>Seiten geschrieben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>already right</source>
        <translation>schon richtig</translation>
    </message>
    <message>
        <location filename="../src/operations/SelfTest.cpp" line="+147"/>
        <source>Self-test report</source>
        <translation>Selbsttest-Bericht</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Times and speeds are modelled by the simulated siren, not measured.</source>
        <translation>Zeiten und Geschwindigkeiten sind von der simulierten Sirene berechnet, nicht gemessen.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Result: %s</source>
        <translation>Ergebnis: %s</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Backup of the siren as found: %s</source>
        <translation>Sicherung der Sirene im vorgefundenen Zustand: %s</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The siren may no longer hold what it held before. Restore it from the backup with:</source>
        <translation>Die Sirene enthält möglicherweise nicht mehr, was sie vorher enthielt. Stellen Sie sie aus der Sicherung wieder her mit:</translation>
    </message>
</context>
<context>
    <name>zorvek</name>
    <message>
        <location filename="../src/app/CAboutDlg.h" line="+14"/>
        <source>About Zorvek USB Siren Programmer</source>
        <translation>Über Zorvek USB-Sirenenprogrammierer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Zorvek USB Siren Programmer Version 3.1</source>
        <translation>Zorvek USB-Sirenenprogrammierer Version 3.1</translation>
    </message>
    <message>
        <location filename="../src/app/CAdapterDlg.h" line="+18"/>
        <source>Choose Adapter</source>
        <translation>Adapter wählen</translation>
    </message>
    <message>
        <location filename="../src/app/ControlIds.cpp" line="+12"/>
        <location filename="../src/job/Usage.cpp" line="+16"/>
        <location line="+1"/>
        <source>Message 2</source>
        <translation>Meldung 2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>WAV &amp;2 Open</source>
        <translation>WAV &amp;2 öffnen</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/job/Usage.cpp" line="-1"/>
        <location line="+1"/>
        <source>Message 3</source>
        <translation>Meldung 3</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>WAV &amp;3 Open</source>
        <translation>WAV &amp;3 öffnen</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/job/Usage.cpp" line="-1"/>
        <location line="+1"/>
        <source>Message 4</source>
        <translation>Meldung 4</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>WAV &amp;4 Open</source>
        <translation>WAV &amp;4 öffnen</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/job/Usage.cpp" line="-1"/>
        <source>Message 5</source>
        <translation>Meldung 5</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>WAV &amp;5 Open</source>
        <translation>WAV &amp;5 öffnen</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/job/Usage.cpp" line="+0"/>
        <source>Message 6</source>
        <translation>Meldung 6</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>WAV &amp;6 Open</source>
        <translation>WAV &amp;6 öffnen</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/job/Usage.cpp" line="+0"/>
        <source>Message 7</source>
        <translation>Meldung 7</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>WAV &amp;7 Open</source>
        <translation>WAV &amp;7 öffnen</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../src/job/Usage.cpp" line="+0"/>
        <location line="+1"/>
        <source>Message 1</source>
        <translation>Meldung 1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>WAV &amp;1 Open</source>
        <translation>WAV &amp;1 öffnen</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Gas</source>
        <translation>Gas</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fire</source>
        <translation>Feuer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ind. (DC)</source>
        <translation>Ind. (DC)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ind. (AC)</source>
        <translation>Ind. (AC)</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Select a voice message for stage 1...</source>
        <translation>Eine Sprachmeldung für Stufe 1 wählen...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Select a voice message for stage 2...</source>
        <translation>Eine Sprachmeldung für Stufe 2 wählen...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Select a voice message for stage 3...</source>
        <translation>Eine Sprachmeldung für Stufe 3 wählen...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Select a voice message for stage 4...</source>
        <translation>Eine Sprachmeldung für Stufe 4 wählen...</translation>
    </message>
    <message>
        <location filename="../src/audio/AudioPipeline.cpp" line="+77"/>
        <source>Broadcast WAV Eliminate NOT successful.</source>
        <translation>Entfernen der Broadcast-WAV-Daten NICHT erfolgreich.</translation>
    </message>
    <message>
        <location line="+44"/>
        <location filename="../src/operations/SirenOperations.h" line="+29"/>
        <source>Siren has NOT been programmed.</source>
        <translation>Die Sirene wurde NICHT programmiert.</translation>
    </message>
    <message>
        <location filename="../src/audio/MessageForecast.cpp" line="+31"/>
        <source>Only 8-, 16-, 24- or 32-bit PCM can be converted.</source>
        <translation>Nur PCM mit 8, 16, 24 oder 32 Bit kann umgewandelt werden.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The sample rate must be from %u to %u samples/s.</source>
        <translation>Die Abtastrate muss zwischen %u und %u Abtastwerten/s liegen.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The file is too short to give a single sample.</source>
        <translation>Die Datei ist zu kurz für einen einzigen Abtastwert.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>The file cannot be opened.</source>
        <translation>Die Datei kann nicht geöffnet werden.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The file is not an uncompressed PCM WAV file.</source>
        <translation>Die Datei ist keine unkomprimierte PCM-WAV-Datei.</translation>
    </message>
    <message>
        <location filename="../src/audio/MessagePreview.cpp" line="+45"/>
        <source>No temporary folder could be made.</source>
        <translation>Es konnte kein temporärer Ordner angelegt werden.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The file cannot be read.</source>
        <translation>Die Datei kann nicht gelesen werden.</translation>
    </message>
    <message>
        <location line="+14"/>
        <location line="+5"/>
        <source>The file could not be converted.</source>
        <translation>Die Datei konnte nicht umgewandelt werden.</translation>
    </message>
    <message>
        <location filename="../src/job/JobState.h" line="+82"/>
        <source>Zorvek USB Siren Programmer</source>
        <translation>Zorvek USB-Sirenenprogrammierer</translation>
    </message>
    <message>
        <location filename="../src/job/SlotTable.cpp" line="+4"/>
        <source>None</source>
        <translation>Keiner</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Single</source>
        <translation>Einfach</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Double</source>
        <translation>Doppelt</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Static</source>
        <translation>Dauerlicht</translation>
    </message>
    <message>
        <location filename="../src/job/Usage.cpp" line="-5"/>
        <location line="+2"/>
        <source>Default Warning Message</source>
        <translation>Standard-Warnmeldung</translation>
    </message>
    <message>
        <location line="-2"/>
        <location line="+2"/>
        <source>Stage 1: Alert</source>
        <translation>Stufe 1: Alarm</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>Stage 2: Gas Release Imminent</source>
        <translation>Stufe 2: Gasfreisetzung steht bevor</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Stage 3: Gas Released</source>
        <translation>Stufe 3: Gas freigesetzt</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <location line="+1"/>
        <source>(Not Used)</source>
        <translation>(Nicht belegt)</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>Gas Release on Hold</source>
        <translation>Gasfreisetzung angehalten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stage 2: Evacuate</source>
        <translation>Stufe 2: Räumen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Test Message</source>
        <translation>Testmeldung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Test Over Message</source>
        <translation>Meldung Testende</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Not Available</source>
        <translation>Nicht verfügbar</translation>
    </message>
    <message>
        <location filename="../src/operations/ConfigCommands.cpp" line="+34"/>
        <source>Save cancelled by user.</source>
        <translation>Speichern vom Benutzer abgebrochen.</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+6"/>
        <location line="+40"/>
        <location line="+4"/>
        <source>Caution!</source>
        <translation>Achtung!</translation>
    </message>
    <message>
        <location line="-44"/>
        <location line="+44"/>
        <source>No file selected!</source>
        <translation>Keine Datei ausgewählt!</translation>
    </message>
    <message>
        <location line="-39"/>
        <source>The configuration was not saved.</source>
        <translation>Die Konfiguration wurde nicht gespeichert.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Warning!</source>
        <translation>Warnung!</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Load cancelled by user.</source>
        <translation>Laden vom Benutzer abgebrochen.</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+14"/>
        <source>Error trying to open config.</source>
        <translation>Fehler beim Öffnen der Konfiguration.</translation>
    </message>
    <message>
        <location filename="../src/operations/FlashRoutines.cpp" line="+285"/>
        <source>Verifying</source>
        <translation>Prüfen</translation>
    </message>
    <message>
        <location filename="../src/operations/FlashRoutines.h" line="+27"/>
        <source>Electronic Signature = 0x%x.</source>
        <translation>Elektronische Signatur = 0x%x.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Flash Status Register = 0x%x.</source>
        <translation>Flash-Statusregister = 0x%x.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Error verifying! Check connections and try again. Location %d.</source>
        <translation>Fehler beim Prüfen! Prüfen Sie die Verbindungen und versuchen Sie es erneut. Stelle %d.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Flash not recognised: electronic signature 0x%x.
Check connections and try again.</source>
        <translation>Flash nicht erkannt: elektronische Signatur 0x%x.
Prüfen Sie die Verbindungen und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Could not read the flash&apos;s electronic signature.
Check connections and try again.</source>
        <translation>Die elektronische Signatur des Flash konnte nicht gelesen werden.
Prüfen Sie die Verbindungen und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Internal error: a page program of %d bytes at 0x%06X would cross a %u-byte page boundary.
Nothing was written; the operation stops.</source>
        <translation>Interner Fehler: eine Seitenprogrammierung von %d Bytes bei 0x%06X würde eine %u-Byte-Seitengrenze überschreiten.
Es wurde nichts geschrieben; der Vorgang wird beendet.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The flash was still busy after %d seconds, so the operation was stopped.
Check connections and try again.</source>
        <translation>Der Flash war nach %d Sekunden noch beschäftigt, daher wurde der Vorgang beendet.
Prüfen Sie die Verbindungen und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Flash not recognised: JEDEC ID %s (%s) is not in the chip table, and the flash reports no usable SFDP parameters (%s).
Nothing was erased or written.</source>
        <translation>Flash-Speicher nicht erkannt: Die JEDEC-ID %s (%s) steht nicht in der Chip-Tabelle, und der Flash-Speicher meldet keine brauchbaren SFDP-Parameter (%s).
Es wurde nichts gelöscht oder geschrieben.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The flash is still busy with an erase or write an earlier run started (%s), so it cannot be identified yet.
A whole-chip erase can take a minute or more: wait, then try again.</source>
        <translation>Der Flash-Speicher ist noch mit einem Löschen oder Schreiben beschäftigt, das ein früherer Lauf begonnen hat (%s), und kann daher noch nicht erkannt werden.
Das Löschen des ganzen Chips kann eine Minute oder länger dauern: warten Sie, dann versuchen Sie es erneut.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>A flash answers in the socket but cannot be used (%s); waiting for a siren that can be.</source>
        <translation>Im Sockel antwortet ein Flash-Speicher, der nicht verwendet werden kann (%s); es wird auf eine Sirene gewartet, die verwendet werden kann.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Flash not recognised: %s.
Check connections and try again.</source>
        <translation>Flash-Speicher nicht erkannt: %s.
Verbindungen prüfen und erneut versuchen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The flash (JEDEC ID %s, %s) is not in the chip table, using the parameters it reports: %s, %u-byte pages.</source>
        <translation>Der Flash-Speicher (JEDEC-ID %s, %s) steht nicht in der Chip-Tabelle; die Parameter, die er selbst meldet, werden verwendet: %s, Seiten zu %u Byte.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The flash is write-protected (%s), so nothing was erased or written.
Check the siren&apos;s WP line (it must be high to change the protection) and whether its firmware locks the flash, then try again.</source>
        <translation>Der Flash-Speicher ist schreibgeschützt (%s), daher wurde nichts gelöscht oder geschrieben.
Die WP-Leitung der Sirene prüfen (sie muss high sein, um den Schutz zu ändern) und ob ihre Firmware den Flash-Speicher sperrt, dann erneut versuchen.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The flash did not accept the erase or program at 0x%06X: it is write-protected there.
Check the siren&apos;s WP line and whether its firmware locks the flash, then try again.</source>
        <translation>Der Flash-Speicher hat das Löschen oder Programmieren bei 0x%06X nicht angenommen: Er ist dort schreibgeschützt.
Die WP-Leitung der Sirene prüfen und ob ihre Firmware den Flash-Speicher sperrt, dann erneut versuchen.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>SPI clock %.2f MHz (asked for %.2f MHz).</source>
        <translation>SPI-Takt %.2f MHz (verlangt: %.2f MHz).</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Flash block protection lifted (status register was 0x%02X).</source>
        <translation>Blockschutz des Flash-Speichers aufgehoben (Statusregister war 0x%02X).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The flash&apos;s block protection was lifted for writing and has been restored (status register 0x%02X).</source>
        <translation>Der Blockschutz des Flash-Speichers wurde zum Schreiben aufgehoben und ist wiederhergestellt (Statusregister 0x%02X).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The flash&apos;s block protection (status register 0x%02X) could not be restored: %s.</source>
        <translation>Der Blockschutz des Flash-Speichers (Statusregister 0x%02X) konnte nicht wiederhergestellt werden: %s.</translation>
    </message>
    <message>
        <location filename="../src/operations/ProgramOperation.cpp" line="+155"/>
        <source>Erasing...</source>
        <translation>Wird gelöscht...</translation>
    </message>
    <message>
        <location line="+6"/>
        <location filename="../src/operations/UsbConnection.cpp" line="+78"/>
        <source>Programming</source>
        <translation>Programmieren</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Programming...</source>
        <translation>Wird programmiert...</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Verifying...</source>
        <translation>Wird geprüft...</translation>
    </message>
    <message>
        <location filename="../src/operations/RunSummary.cpp" line="-14"/>
        <source>Cancelled: the siren is NOT completely programmed</source>
        <translation>Abgebrochen: die Sirene ist NICHT vollständig programmiert</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Cancelled: the siren may NOT be completely written</source>
        <translation>Abgebrochen: die Sirene ist möglicherweise NICHT vollständig beschrieben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancelled: no image was read</source>
        <translation>Abgebrochen: es wurde kein Abbild gelesen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Cancelled: the firmware may NOT be completely updated</source>
        <translation>Abgebrochen: die Firmware ist möglicherweise NICHT vollständig aktualisiert</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>%s, %lld s</source>
        <translation>%s, %lld s</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Failed: the siren does not hold what was written</source>
        <translation>Fehlgeschlagen: die Sirene enthält nicht, was geschrieben wurde</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>the adapter could not be opened</source>
        <translation>der Adapter konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>the run stopped</source>
        <translation>der Durchlauf wurde beendet</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Failed: %s</source>
        <translation>Fehlgeschlagen: %s</translation>
    </message>
    <message>
        <location filename="../src/operations/SirenOperations.h" line="+1"/>
        <source>Chosen files too big for flash chip</source>
        <translation>Gewählte Dateien zu groß für den Flash-Baustein</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Message %d: %.1f s too long</source>
        <translation>Meldung %d: %.1f s zu lang</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Flash has enough space for files.</source>
        <translation>Der Flash hat genug Platz für die Dateien.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Firmware file not found.
Update not possible.</source>
        <translation>Firmware-Datei nicht gefunden.
Aktualisierung nicht möglich.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Changing the firmware can 
have undesired effects. 
Only do so if you are 
certain. The current version 
will be overwritten.
Abort?</source>
        <translation>Eine Änderung der Firmware kann 
unerwünschte Folgen haben. 
Tun Sie es nur, wenn Sie 
sicher sind. Die aktuelle Version 
wird überschrieben.
Abbrechen?</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No firmware loaded!
Mirax firmware will NOT be updated!</source>
        <translation>Keine Firmware geladen!
Die Mirax-Firmware wird NICHT aktualisiert!</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Programming stopped because the siren or the adapter stopped answering.
The siren is NOT (completely) programmed. Check connections and program it again.</source>
        <translation>Das Programmieren wurde beendet, weil die Sirene oder der Adapter nicht mehr antwortete.
Die Sirene ist NICHT (vollständig) programmiert. Prüfen Sie die Verbindungen und programmieren Sie sie erneut.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Writing stopped because the siren or the adapter stopped answering.
The siren is NOT (completely) written. Check connections and write it again.</source>
        <translation>Das Schreiben wurde beendet, weil die Sirene oder der Adapter nicht mehr antwortete.
Die Sirene ist NICHT (vollständig) beschrieben. Prüfen Sie die Verbindungen und schreiben Sie sie erneut.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Could not read the siren&apos;s flash, so the firmware was NOT updated.
The siren is unchanged.</source>
        <translation>Der Flash der Sirene konnte nicht gelesen werden, daher wurde die Firmware NICHT aktualisiert.
Die Sirene ist unverändert.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Updating the firmware stopped because the siren or the adapter stopped answering.
The first 64 KiB of the siren are NOT (completely) written. Check connections and update it again.</source>
        <translation>Die Firmware-Aktualisierung wurde beendet, weil die Sirene oder der Adapter nicht mehr antwortete.
Die ersten 64 KiB der Sirene sind NICHT (vollständig) geschrieben. Prüfen Sie die Verbindungen und aktualisieren Sie erneut.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>What was written could not be verified: the siren or the adapter stopped answering.
Check connections and try again.</source>
        <translation>Das Geschriebene konnte nicht geprüft werden: die Sirene oder der Adapter antwortete nicht mehr.
Prüfen Sie die Verbindungen und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Finishing, please wait...</source>
        <translation>Wird abgeschlossen, bitte warten...</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>What the first 64 KiB held is kept in
%s
The next firmware update of this siren restores it from there.</source>
        <translation>Der Inhalt der ersten 64 KiB ist gespeichert in
%s
Die nächste Firmware-Aktualisierung dieser Sirene stellt ihn von dort wieder her.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>What the first 64 KiB held is kept in
%s
The next firmware update of this siren restores it from there; if it finds them blank, it names that file, to be given with --restore-from.</source>
        <translation>Der Inhalt der ersten 64 KiB ist gespeichert in
%s
Die nächste Firmware-Aktualisierung dieser Sirene stellt ihn von dort wieder her; findet sie die 64 KiB leer, nennt sie diese Datei, die dann mit --restore-from anzugeben ist.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>What the first 64 KiB held is kept in
%s
The siren now holds bits this update did not write, so the next firmware update will NOT restore it from there by itself. Keep that file.</source>
        <translation>Der Inhalt der ersten 64 KiB ist gespeichert in
%s
Die Sirene enthält jetzt Bits, die diese Aktualisierung nicht geschrieben hat; die nächste Firmware-Aktualisierung stellt ihn daher NICHT von selbst von dort wieder her. Bewahren Sie diese Datei auf.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Found the recovery file of an interrupted firmware update:
%s
The first 64 KiB are restored from it instead of from the siren.</source>
        <translation>Die Wiederherstellungsdatei einer unterbrochenen Firmware-Aktualisierung wurde gefunden:
%s
Die ersten 64 KiB werden aus ihr statt aus der Sirene wiederhergestellt.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>These recovery files of interrupted firmware updates do not belong to this siren&apos;s first 64 KiB,
so they are not used (they are kept):
%s</source>
        <translation>Diese Wiederherstellungsdateien unterbrochener Firmware-Aktualisierungen gehören nicht zu den ersten 64 KiB dieser Sirene,
daher werden sie nicht verwendet (sie bleiben erhalten):
%s</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>This siren&apos;s first 64 KiB are blank, so these recovery files of interrupted firmware updates could be
any siren&apos;s; they are not used (they are kept):
%s
If one is this siren&apos;s, name it: zorvek-cli firmware --restore-from FILE FIRMWARE.hex</source>
        <translation>Die ersten 64 KiB dieser Sirene sind leer, daher könnten diese Wiederherstellungsdateien unterbrochener Firmware-Aktualisierungen
zu jeder Sirene gehören; sie werden nicht verwendet (sie bleiben erhalten):
%s
Wenn eine davon zu dieser Sirene gehört, nennen Sie sie: zorvek-cli firmware --restore-from DATEI FIRMWARE.hex</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Could not keep a copy of the first 64 KiB before erasing them, so the firmware was NOT updated.
The siren is unchanged.
%s</source>
        <translation>Vor dem Löschen konnte keine Kopie der ersten 64 KiB angelegt werden, daher wurde die Firmware NICHT aktualisiert.
Die Sirene ist unverändert.
%s</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The siren image file is empty.
Nothing has been written to the siren.</source>
        <translation>Die Sirenenabbild-Datei ist leer.
Es wurde nichts in die Sirene geschrieben.</translation>
    </message>
    <message>
        <location filename="../src/operations/UsbConnection.cpp" line="-31"/>
        <location line="+22"/>
        <source>Idle</source>
        <translation>Bereit</translation>
    </message>
    <message>
        <location line="-16"/>
        <source>Device Connected</source>
        <translation>Gerät verbunden</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>Reading</source>
        <translation>Lesen</translation>
    </message>
    <message>
        <location filename="../src/operations/UsbConnection.h" line="+11"/>
        <source>FT2232C device found.</source>
        <translation>FT2232C-Gerät gefunden.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device name = %s; Location ID = %d.</source>
        <translation>Gerätename = %s; Standort-ID = %d.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Could not open device.</source>
        <translation>Gerät konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Error initialising SPI.</source>
        <translation>Fehler beim Einrichten von SPI.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Clock frequency = %d Hz.</source>
        <translation>Taktfrequenz = %d Hz.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Upper GPIO = %d, %d, %d, %d.</source>
        <translation>Obere GPIO = %d, %d, %d, %d.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Error closing device.</source>
        <translation>Fehler beim Schließen des Geräts.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No siren programmer found.
Check that the USB adapter is plugged in and try again.</source>
        <translation>Kein Sirenenprogrammierer gefunden.
Prüfen Sie, ob der USB-Adapter eingesteckt ist, und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <location filename="../src/ui/QtUserPort.cpp" line="+90"/>
        <source>&amp;Yes</source>
        <translation>&amp;Ja</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;No</source>
        <translation>&amp;Nein</translation>
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
        <translation>Mehrere Adapter sind angeschlossen. Wählen Sie den mit der Sirene verbundenen;
die Wahl wird gespeichert. Werkzeuge &gt; Erweitert &gt; Adapter... ändert sie.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Serial number</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Chip type</source>
        <translation>Chiptyp</translation>
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
        <translation>Status</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>usable</source>
        <translation>verwendbar</translation>
    </message>
</context>
<context>
    <name>zorvek::CProgrammerDlg</name>
    <message>
        <location filename="../src/app/CProgrammerDlg.cpp" line="+231"/>
        <source>Simulated siren: %s.</source>
        <translation>Simulierte Sirene: %s.</translation>
    </message>
    <message>
        <location line="+226"/>
        <source>(none)</source>
        <translation>(keine)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Remove Missing Files</source>
        <translation>Fehlende Dateien &amp;entfernen</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Clear List</source>
        <translation>Liste &amp;leeren</translation>
    </message>
    <message>
        <location filename="../src/app/CProgrammerDlgAdapter.cpp" line="+47"/>
        <source>The adapter chosen for the siren is not attached.</source>
        <translation>Der für die Sirene gewählte Adapter ist nicht angeschlossen.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plug it in, or choose another with Tools &gt; Advanced &gt; Adapter...</source>
        <translation>Stecken Sie ihn ein oder wählen Sie einen anderen unter Werkzeuge &gt; Erweitert &gt; Adapter...</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>No %s is attached.</source>
        <translation>Kein %s angeschlossen.</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Tools &gt; Siren Writer with %s and Verify ticked</source>
        <translation>Werkzeuge &gt; Sirene schreiben mit %s und angekreuztem Prüfen</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+2"/>
        <source>Self-Test</source>
        <translation>Selbsttest</translation>
    </message>
    <message>
        <location filename="../src/app/CProgrammerDlgBinding.cpp" line="+98"/>
        <source>Please enter an integer between 0 and %d.</source>
        <translation>Bitte geben Sie eine ganze Zahl zwischen 0 und %d ein.</translation>
    </message>
    <message>
        <location filename="../src/app/CProgrammerDlgLayout.cpp" line="+106"/>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Save the settings and close</source>
        <translation>Die Einstellungen speichern und schließen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Program</source>
        <translation>&amp;Brennen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Program</source>
        <translation>Programmieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Convert the messages and write them into the siren</source>
        <translation>Die Meldungen umwandeln und in die Sirene schreiben</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+2"/>
        <source>Verify</source>
        <translation>Prüfen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Read the siren back after programming and compare</source>
        <translation>Die Sirene nach dem Programmieren zurücklesen und vergleichen</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+204"/>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <location line="-204"/>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Open the user guide</source>
        <translation>Das Benutzerhandbuch öffnen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Siren Usage</source>
        <translation>Verwendung</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Siren usage</source>
        <translation>Sirenenverwendung</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Flash usage</source>
        <translation>Flash-Belegung</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>How the messages will fill the siren&apos;s flash</source>
        <translation>Wie die Meldungen den Flash der Sirene füllen werden</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Static</source>
        <translation>Dauerlicht</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>USB Connection</source>
        <translation>USB-Verbindung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Flash Status</source>
        <translation>Flash-Status</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Flash ID</source>
        <translation>Flash-ID</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>&amp;Setup USB</source>
        <translation>USB &amp;einrichten</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Erase Flash</source>
        <translation>Flash &amp;löschen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pro&amp;gram</source>
        <translation>Pro&amp;grammieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Test &amp;Write</source>
        <translation>Test &amp;schreiben</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Test Rea&amp;d</source>
        <translation>Test le&amp;sen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>C&amp;lose USB</source>
        <translation>USB sch&amp;ließen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>HEX Test</source>
        <translation>HEX-Test</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>&amp;Verbose</source>
        <translation>&amp;Ausführlich</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>ADPCM</source>
        <translation>ADPCM</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Firmware</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Message %1</source>
        <translation>Meldung %1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>The WAV file and settings of one message</source>
        <translation>Die WAV-Datei und Einstellungen einer Meldung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Message %1 file</source>
        <translation>Meldung %1 Datei</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Path of the WAV file played as this message</source>
        <translation>Pfad der WAV-Datei, die als diese Meldung abgespielt wird</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Message %1 listen</source>
        <translation>Meldung %1 anhören</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Play the message as the siren will sound</source>
        <translation>Die Meldung so abspielen, wie die Sirene klingen wird</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Message %1 open file</source>
        <translation>Meldung %1 Datei öffnen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Choose the WAV file of this message</source>
        <translation>Die WAV-Datei dieser Meldung wählen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No Of Samples</source>
        <translation>Anzahl Abtastwerte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stereo</source>
        <translation>Stereo</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Siren Tone</source>
        <translation>Sirenenton</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Message %1 siren tone</source>
        <translation>Meldung %1 Sirenenton</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>The tone the siren sounds with this message</source>
        <translation>Der Ton, den die Sirene mit dieser Meldung spielt</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Siren Vol</source>
        <translation>Lautst.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Message %1 siren volume</source>
        <translation>Meldung %1 Sirenenlautstärke</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Volume level of this message, 10 loudest</source>
        <translation>Lautstärkestufe dieser Meldung, 10 am lautesten</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Beacon</source>
        <translation>Blitz</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Message %1 beacon</source>
        <translation>Meldung %1 Blitz</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>How the beacon flashes with this message</source>
        <translation>Wie der Blitz bei dieser Meldung leuchtet</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Load &amp;Configuration</source>
        <translation>Konfiguration &amp;laden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Save Configuration</source>
        <translation>Konfiguration &amp;speichern</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Recent &amp;Jobs</source>
        <translation>&amp;Zuletzt verwendete Aufträge</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>E&amp;xit</source>
        <translation>&amp;Verlassen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Tools</source>
        <translation>&amp;Werkzeuge</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Siren &amp;Reader</source>
        <translation>Sirene &amp;lesen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Siren &amp;Writer</source>
        <translation>Sirene &amp;schreiben</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Advanced</source>
        <translation>&amp;Erweitert</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Update &amp;Firmware with WAVs</source>
        <translation>&amp;Firmware mit WAVs aktualisieren</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Update Firm&amp;ware Only</source>
        <translation>Nur Firm&amp;ware aktualisieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>DIP Switch 32 Tone</source>
        <translation>DIP-Schalter 32 Töne</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Simulated Siren</source>
        <translation>Simulierte Sirene</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Adapter...</source>
        <translation>&amp;Adapter...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Self-&amp;Test...</source>
        <translation>Selbst&amp;test...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fast erase</source>
        <translation>Schnelles Löschen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Write only what differs</source>
        <translation>Nur Abweichendes schreiben</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>SPI Clock</source>
        <translation>SPI-Takt</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>H&amp;elp</source>
        <translation>Hi&amp;lfe</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;About</source>
        <translation>&amp;Über</translation>
    </message>
    <message>
        <location filename="../src/app/CProgrammerDlgListen.cpp" line="+20"/>
        <source>The message cannot be played.</source>
        <translation>Die Meldung kann nicht abgespielt werden.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Message %d: %s</source>
        <translation>Meldung %d: %s</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Converting... press to stop</source>
        <translation>Wird umgewandelt... zum Anhalten drücken</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Stop</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Listen to this message as the siren will play it</source>
        <translation>Diese Meldung so anhören, wie die Sirene sie abspielen wird</translation>
    </message>
    <message>
        <location filename="../src/app/CProgrammerDlgPrepare.cpp" line="+22"/>
        <source>Prepare...</source>
        <translation>Vorbereiten...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Trim, filter and level this message, or make it from text</source>
        <translation>Diese Meldung kürzen, filtern und pegeln oder aus Text erzeugen</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Message %1 prepared%2: %3</source>
        <translation>Meldung %1 vorbereitet%2: %3</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>, %1 s shorter</source>
        <translation>, %1 s kürzer</translation>
    </message>
</context>
<context>
    <name>zorvek::CProgressWindow</name>
    <message>
        <location filename="../src/ui/CProgressWindow.cpp" line="+139"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
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
        <translation>Stereo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%u samples/s</source>
        <translation>%u Abtastwerte/s</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>8-bit</source>
        <translation>8 Bit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>16-bit</source>
        <translation>16 Bit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%u samples</source>
        <translation>%u Abtastwerte</translation>
    </message>
    <message>
        <location filename="../src/audio/WaveFileRead.cpp" line="+37"/>
        <source>Failed to open file specified for message %d.</source>
        <translation>Die für Meldung %d angegebene Datei konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Check file exists and it is Uncompressed PCM.</source>
        <translation>Prüfen Sie, ob die Datei existiert und unkomprimiertes PCM enthält.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>(check Help)</source>
        <translation>(siehe Hilfe)</translation>
    </message>
    <message>
        <location line="+9"/>
        <location line="+5"/>
        <source>No embedded WAVE format within file.</source>
        <translation>Die Datei enthält kein eingebettetes WAVE-Format.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>File has NO &apos;FMT&apos; chunk.</source>
        <translation>Die Datei hat KEINEN &apos;FMT&apos;-Block.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>ERROR: could not read &apos;FMT&apos; chunk in file.</source>
        <translation>FEHLER: der &apos;FMT&apos;-Block der Datei konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Waveform is compressed. Sorry.</source>
        <translation>Die Wellenform ist komprimiert. Leider nicht möglich.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>File has no data chunk.</source>
        <translation>Die Datei hat keinen Datenblock.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The data chunk contains no data in file.</source>
        <translation>Der Datenblock der Datei enthält keine Daten.</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Failed to read data chunk in file.</source>
        <translation>Der Datenblock der Datei konnte nicht gelesen werden.</translation>
    </message>
</context>
<context>
    <name>zorvek::FlashBar</name>
    <message>
        <location filename="../src/app/FlashGauge.cpp" line="+49"/>
        <source>Message %1: %2, %3</source>
        <translation>Meldung %1: %2, %3</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Message %1: %2: %3</source>
        <translation>Meldung %1: %2: %3</translation>
    </message>
</context>
<context>
    <name>zorvek::PrepareDialog</name>
    <message>
        <location filename="../src/app/PrepareDialog.cpp" line="+48"/>
        <source>Prepare Message %1</source>
        <translation>Meldung %1 vorbereiten</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+164"/>
        <source>Choose the steps and press Prepare.</source>
        <translation>Wählen Sie die Schritte und drücken Sie Vorbereiten.</translation>
    </message>
    <message>
        <location line="-163"/>
        <source>Before and after</source>
        <translation>Vorher und nachher</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+173"/>
        <source>&amp;Prepare</source>
        <translation>&amp;Vorbereiten</translation>
    </message>
    <message>
        <location line="-173"/>
        <source>Prepare</source>
        <translation>Vorbereiten</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+178"/>
        <source>&amp;Listen</source>
        <translation>&amp;Anhören</translation>
    </message>
    <message>
        <location line="-177"/>
        <source>Listen to the prepared message</source>
        <translation>Die vorbereitete Meldung anhören</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Save and use for this message</source>
        <translation>Speichern und für diese Meldung verwenden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Saves the prepared message as a new WAV file and puts it into the row</source>
        <translation>Speichert die vorbereitete Meldung als neue WAV-Datei und trägt sie in die Zeile ein</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Message from</source>
        <translation>Meldung aus</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Audio &amp;file:</source>
        <translation>Audio&amp;datei:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Message from an audio file</source>
        <translation>Meldung aus einer Audiodatei</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Audio file (WAV, FLAC, Ogg Vorbis, MP3)</source>
        <translation>Audiodatei (WAV, FLAC, Ogg Vorbis, MP3)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Browse...</source>
        <translation>&amp;Durchsuchen...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Choose an audio file</source>
        <translation>Eine Audiodatei wählen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Text to speak:</source>
        <translation>&amp;Zu sprechender Text:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Message from text to speech</source>
        <translation>Meldung aus Sprachsynthese</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Text to speak</source>
        <translation>Zu sprechender Text</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Voice</source>
        <translation>Stimme</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>No speech voices are installed</source>
        <translation>Es sind keine Sprachstimmen installiert</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Speed in words per minute</source>
        <translation>Geschwindigkeit in Wörtern pro Minute</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> words/min</source>
        <translation> Wörter/min</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Voice:</source>
        <translation>&amp;Stimme:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Speed:</source>
        <translation>&amp;Tempo:</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Steps</source>
        <translation>Schritte</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>T&amp;rim silence at both ends, below</source>
        <translation>Stille an beiden Enden &amp;kürzen, unter</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Trim silence at both ends</source>
        <translation>Stille an beiden Enden kürzen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Silence threshold in dBFS</source>
        <translation>Stilleschwelle in dBFS</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> dBFS</source>
        <translation> dBFS</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;High-pass for horn loudspeakers at</source>
        <translation>&amp;Hochpass für Hornlautsprecher bei</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>High-pass for horn loudspeakers</source>
        <translation>Hochpass für Hornlautsprecher</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>High-pass corner in hertz</source>
        <translation>Hochpass-Eckfrequenz in Hertz</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> Hz</source>
        <translation> Hz</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Loud&amp;ness to</source>
        <translation>Laut&amp;heit auf</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Normalise loudness</source>
        <translation>Lautheit normalisieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Loudness target in LUFS</source>
        <translation>Lautheitsziel in LUFS</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> LUFS</source>
        <translation> LUFS</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>True-peak ceiling in dBTP</source>
        <translation>True-Peak-Obergrenze in dBTP</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> dBTP</source>
        <translation> dBTP</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>true peak at most</source>
        <translation>True Peak höchstens</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Audio file</source>
        <translation>Audiodatei</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Audio files (*.wav *.flac *.ogg *.oga *.mp3 *.aif *.aiff);;All files (*)</source>
        <translation>Audiodateien (*.wav *.flac *.ogg *.oga *.mp3 *.aif *.aiff);;Alle Dateien (*)</translation>
    </message>
    <message>
        <location line="+27"/>
        <location line="+37"/>
        <source>Preparing...</source>
        <translation>Wird vorbereitet...</translation>
    </message>
    <message>
        <location line="-34"/>
        <source>No sound output</source>
        <translation>Keine Tonausgabe</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Stop</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>Source: %1
Before: %2
</source>
        <translation>Quelle: %1
Vorher: %2
</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>After: %1</source>
        <translation>Nachher: %1</translation>
    </message>
</context>
<context>
    <name>zorvek::ProductionStation</name>
    <message>
        <location filename="../src/operations/ProductionStation.cpp" line="+101"/>
        <source>The image does not fit this siren&apos;s flash.</source>
        <translation>Das Abbild passt nicht in den Flash dieser Sirene.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
</context>
<context>
    <name>zorvek::ProgressScope</name>
    <message>
        <location filename="../src/operations/OperationSupport.h" line="+35"/>
        <source>Complete...</source>
        <translation>Fertig...</translation>
    </message>
</context>
<context>
    <name>zorvek::RunStatus</name>
    <message>
        <location filename="../src/app/RunStatus.cpp" line="+37"/>
        <source>The adapter the run used</source>
        <translation>Der Adapter, den der Durchlauf verwendet hat</translation>
    </message>
</context>
<context>
    <name>zorvek::SelfTest</name>
    <message>
        <location filename="../src/operations/SelfTest.cpp" line="-130"/>
        <source>The backup file %s exists already; choose a new name.</source>
        <translation>Die Sicherungsdatei %s existiert bereits; wählen Sie einen neuen Namen.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>No adapter.</source>
        <translation>Kein Adapter.</translation>
    </message>
    <message>
        <location line="+64"/>
        <source>The flash could not be identified; nothing was read or written.</source>
        <translation>Der Flash konnte nicht erkannt werden; es wurde nichts gelesen oder geschrieben.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Reading the siren failed; nothing was written.</source>
        <translation>Das Lesen der Sirene ist fehlgeschlagen; es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Two reads of the siren differ: the link is unreliable. Nothing was written.</source>
        <translation>Zwei Lesevorgänge der Sirene unterscheiden sich: die Verbindung ist unzuverlässig. Es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Reading the siren again failed; nothing was written.</source>
        <translation>Das erneute Lesen der Sirene ist fehlgeschlagen; es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>The round trip failed at &quot;%s&quot;.</source>
        <translation>Der Durchgang ist bei &quot;%s&quot; fehlgeschlagen.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The siren was written again from the backup and verified.</source>
        <translation>Die Sirene wurde erneut aus der Sicherung geschrieben und geprüft.</translation>
    </message>
</context>
<context>
    <name>zorvek::SirenOperations</name>
    <message>
        <location filename="../src/operations/CloneOperations.cpp" line="+38"/>
        <source>Save cancelled by user.</source>
        <translation>Speichern vom Benutzer abgebrochen.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Load cancelled by user.</source>
        <translation>Laden vom Benutzer abgebrochen.</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+5"/>
        <location filename="../src/operations/FirmwareCommands.cpp" line="+40"/>
        <location line="+6"/>
        <location line="+28"/>
        <source>Caution!</source>
        <translation>Achtung!</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>No file selected!</source>
        <translation>Keine Datei ausgewählt!</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Could not create the siren image file.</source>
        <translation>Die Sirenenabbild-Datei konnte nicht angelegt werden.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Reading</source>
        <translation>Lesen</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+123"/>
        <location filename="../src/operations/FirmwareCommands.cpp" line="+13"/>
        <location filename="../src/operations/ProgramOperation.cpp" line="-71"/>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <location line="-121"/>
        <location filename="../src/operations/FirmwareCommands.cpp" line="+3"/>
        <source>Reading...</source>
        <translation>Wird gelesen...</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>Could not read the siren&apos;s flash at address 0x%llX.</source>
        <translation>Der Flash der Sirene konnte an Adresse 0x%llX nicht gelesen werden.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The siren image file was NOT written; any earlier file is unchanged.</source>
        <translation>Die Sirenenabbild-Datei wurde NICHT geschrieben; eine frühere Datei ist unverändert.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Reading cancelled. The first %llu bytes read were saved in</source>
        <translation>Lesen abgebrochen. Die ersten %llu gelesenen Bytes wurden gespeichert in</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+5"/>
        <source>%s was not changed.</source>
        <translation>%s wurde nicht verändert.</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>Reading cancelled. The bytes read so far could not be saved.</source>
        <translation>Lesen abgebrochen. Die bisher gelesenen Bytes konnten nicht gespeichert werden.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Could not write the siren image file.</source>
        <translation>Die Sirenenabbild-Datei konnte nicht geschrieben werden.</translation>
    </message>
    <message>
        <location line="+19"/>
        <location line="+24"/>
        <source>Error trying to open data.</source>
        <translation>Fehler beim Öffnen der Daten.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The siren image file holds data beyond the end of this siren&apos;s flash (%llu bytes).
Nothing has been written to the siren.</source>
        <translation>Die Sirenenabbild-Datei enthält Daten hinter dem Ende des Flash dieser Sirene (%llu Bytes).
Es wurde nichts in die Sirene geschrieben.</translation>
    </message>
    <message>
        <location filename="../src/operations/FirmwareCommands.cpp" line="-55"/>
        <location line="+34"/>
        <location line="+94"/>
        <source>Warning!</source>
        <translation>Warnung!</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Erasing...</source>
        <translation>Wird gelöscht...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Programming</source>
        <translation>Programmieren</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Programming...</source>
        <translation>Wird programmiert...</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Verifying...</source>
        <translation>Wird geprüft...</translation>
    </message>
</context>
<context>
    <name>zorvek::SpeakerOutput</name>
    <message>
        <location filename="../src/app/MessagePlayer.cpp" line="+35"/>
        <source>No audio output was found, so messages cannot be played.</source>
        <translation>Es wurde keine Audioausgabe gefunden, daher können Meldungen nicht abgespielt werden.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Install the sound server package pipewire-pulse (or pulseaudio).</source>
        <translation>Installieren Sie das Soundserver-Paket pipewire-pulse (oder pulseaudio).</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The audio output cannot play 22010 samples/s, so messages cannot be played.</source>
        <translation>Die Audioausgabe kann 22010 Abtastwerte/s nicht abspielen, daher können Meldungen nicht abgespielt werden.</translation>
    </message>
</context>
<context>
    <name>zorvek::cli::ConsoleProgress</name>
    <message>
        <location filename="../src/cli/ConsoleUserPort.cpp" line="+109"/>
        <source>%s elapsed</source>
        <translation>%s vergangen</translation>
    </message>
</context>
<context>
    <name>zorvek::detail::WindowFlashObserver</name>
    <message>
        <location filename="../src/operations/LinkFrames.cpp" line="+62"/>
        <source>Erasing</source>
        <translation>Löschen</translation>
    </message>
</context>
</TS>
