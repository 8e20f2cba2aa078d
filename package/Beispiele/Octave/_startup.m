% Wird beim Start von Octave über die Verknüpfung "QV Octave" ausgeführt.
disp('QV-Beispiele für Octave: bode_diagramm');
