<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>about</name>
    <message>
        <source>Feedback&#13;
&#13;
  Please click on OK button to send any&#13;
  comments or questions you may have!&#13;
</source>
        <translation>Votre avis&#13;
&#13;
  Cliquez sur OK pour nous envoyer vos&#13;
  remarques ou vos questions !&#13;
</translation>
    </message>
    <message>
        <source>How to extract text content from PDF files?&#13;
&#13;
  If your business need a PDF text extraction tool,&#13;
  there is a solution for this.&#13;
&#13;
  Tessaly has been released a free and&#13;
  useful PDF text content extraction software, called&#13;
  Sarnet.&#13;
&#13;
  For further informations and download this software&#13;
  please click on OK button!&#13;
</source>
        <translation>Comment extraire le texte des fichiers PDF ?&#13;
&#13;
  Si votre activité demande d&apos;extraire le texte&#13;
  de fichiers PDF, il existe une solution.&#13;
&#13;
  Tessaly a publié un logiciel libre et utile&#13;
  qui extrait le texte des fichiers PDF :&#13;
  Sarnet.&#13;
&#13;
  Pour en savoir plus et télécharger ce logiciel,&#13;
  cliquez sur OK !&#13;
</translation>
    </message>
    <message>
        <source>Donate this FREE software!&#13;
&#13;
  If you like Arvenzo you may like to&#13;
  donate the very small sum of $15.00 or €15.00 on PayPal&#13;
  to help us keep developing and updating. Thank you!&#13;
&#13;
  Click on OK button to donate.&#13;
</source>
        <translation>Faites un don pour ce logiciel GRATUIT !&#13;
&#13;
  Si Arvenzo vous plaît, vous pouvez faire&#13;
  un petit don de 15,00 $ ou 15,00 € sur PayPal&#13;
  pour nous aider à le développer et à le mettre à jour. Merci !&#13;
&#13;
  Cliquez sur OK pour faire un don.&#13;
</translation>
    </message>
</context>
<context>
    <name>about::TAboutDialog</name>
    <message>
        <source>Free for personal and commercial use.&#13;
It saves every picture of a PDF document&#13;
as an ordinary image file.&#13;
No registration, no time limit.</source>
        <translation>Gratuit pour un usage privé et commercial.&#13;
Il enregistre chaque image d&apos;un document&#13;
PDF dans un fichier image ordinaire.&#13;
Sans inscription, sans limite de durée.</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>Arvenzo logo</source>
        <translation>Logo d&apos;Arvenzo</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>À propos d&apos;%1</translation>
    </message>
    <message>
        <source>%1 is free software under the GNU AGPL,
version 3 or later, and comes without warranty.</source>
        <translation>%1 est un logiciel libre sous GNU AGPL,
version 3 ou ultérieure, sans aucune garantie.</translation>
    </message>
    <message>
        <source>Read the licence</source>
        <translation>Lire la licence</translation>
    </message>
</context>
<context>
    <name>app::TMainForm</name>
    <message>
        <source>Select input PDF file</source>
        <translation>Choisir le fichier PDF</translation>
    </message>
    <message>
        <source>Click here to select input PDF file</source>
        <translation>Cliquez ici pour choisir le fichier PDF</translation>
    </message>
    <message>
        <source>Select output folder</source>
        <translation>Choisir le dossier de destination</translation>
    </message>
    <message>
        <source>Click here to specify the output folder</source>
        <translation>Cliquez ici pour indiquer le dossier de destination</translation>
    </message>
    <message>
        <source>I like it!</source>
        <translation>J&apos;aime !</translation>
    </message>
    <message>
        <source>Start Pro version</source>
        <translation>Version Pro</translation>
    </message>
    <message>
        <source>Start extraction</source>
        <translation>Extraire</translation>
    </message>
    <message>
        <source>Input PDF File</source>
        <translation>Fichier PDF</translation>
    </message>
    <message>
        <source>Input PDF file</source>
        <translation>Fichier PDF</translation>
    </message>
    <message>
        <source>Choose input PDF file</source>
        <translation>Choisir le fichier PDF</translation>
    </message>
    <message>
        <source>View selected PDF file</source>
        <translation>Afficher le fichier PDF choisi</translation>
    </message>
    <message>
        <source>Page Count:</source>
        <translation>Pages :</translation>
    </message>
    <message>
        <source>Page Range:</source>
        <translation>Plage :</translation>
    </message>
    <message>
        <source>Example: 1-5 (leave it blank for all)</source>
        <translation>Exemple : 1-5 (vide pour tout)</translation>
    </message>
    <message>
        <source>Play Video Tutorial</source>
        <translation>Tutoriel vidéo</translation>
    </message>
    <message>
        <source>Output Settings</source>
        <translation>Sortie</translation>
    </message>
    <message>
        <source>Output folder</source>
        <translation>Dossier de destination</translation>
    </message>
    <message>
        <source>Choose output folder</source>
        <translation>Choisir le dossier de destination</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>Dossier :</translation>
    </message>
    <message>
        <source>Open selected folder</source>
        <translation>Ouvrir le dossier choisi</translation>
    </message>
    <message>
        <source>Output filename&apos;s prefix&lt;br&gt;&lt;i&gt;Example:&lt;/i&gt; image-</source>
        <translation>Début des noms de fichier&lt;br&gt;&lt;i&gt;Exemple :&lt;/i&gt; image-</translation>
    </message>
    <message>
        <source>Prefix:</source>
        <translation>Préfixe :</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>Format :</translation>
    </message>
    <message>
        <source>Open After Extraction</source>
        <translation>Ouvrir ensuite</translation>
    </message>
    <message>
        <source>Donation</source>
        <translation>Don</translation>
    </message>
    <message>
        <source>Extraction progress</source>
        <translation>Progression de l&apos;extraction</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Édition</translation>
    </message>
    <message>
        <source>Auto set output folder</source>
        <translation>Dossier de destination automatique</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>Website</source>
        <translation>Site web</translation>
    </message>
    <message>
        <source>Video tutorial</source>
        <translation>Tutoriel vidéo</translation>
    </message>
    <message>
        <source>Feedback</source>
        <translation>Votre avis</translation>
    </message>
    <message>
        <source>How to extract text?</source>
        <translation>Comment extraire le texte ?</translation>
    </message>
    <message>
        <source>Donate</source>
        <translation>Faire un don</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>%1 is busy and cannot open this document now:&#13;
%2</source>
        <translation>%1 est occupé et ne peut pas ouvrir ce document maintenant :&#13;
%2</translation>
    </message>
    <message>
        <source>This is not an ordinary file, so it cannot be opened:&#13;
%1</source>
        <translation>Ceci n’est pas un fichier ordinaire et ne peut donc pas être ouvert :&#13;
%1</translation>
    </message>
    <message>
        <source>Please specify the input PDF file!</source>
        <translation>Veuillez indiquer le fichier PDF !</translation>
    </message>
    <message>
        <source>Pictures…</source>
        <translation>Images…</translation>
    </message>
    <message>
        <source>Pick pictures</source>
        <translation>Choisir des images</translation>
    </message>
    <message>
        <source>See the pictures of the document and pick the ones to save (Ctrl+P)</source>
        <translation>Voir les images du document et choisir celles à enregistrer (Ctrl+P)</translation>
    </message>
    <message>
        <source>Pick pictures…</source>
        <translation>Choisir des images…</translation>
    </message>
</context>
<context>
    <name>extract::ExtractionControl</name>
    <message>
        <source>Some errors occured during the extraction process!</source>
        <translation>Des erreurs se sont produites pendant l'extraction !</translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation><numerusform>et %n autre</numerusform><numerusform>et %n autres</numerusform></translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the extraction?</source>
        <translation>Voulez-vous vraiment arrêter l&apos;extraction ?</translation>
    </message>
    <message>
        <source>Please specify the input PDF file!</source>
        <translation>Veuillez indiquer le fichier PDF !</translation>
    </message>
    <message>
        <source>Please specify the output folder!</source>
        <translation>Veuillez indiquer le dossier de destination !</translation>
    </message>
    <message>
        <source>%1 already exists.&#13;
&#13;
Do you want to replace it?</source>
        <translation>%1 existe déjà.&#13;
&#13;
Voulez-vous le remplacer ?</translation>
    </message>
    <message>
        <source>Stop Extraction</source>
        <translation>Arrêter</translation>
    </message>
    <message>
        <source>Start Extraction</source>
        <translation>Extraire</translation>
    </message>
    <message>
        <source>Stopped after 1 image</source>
        <translation>Arrêté après 1 image</translation>
    </message>
    <message numerus="yes">
        <source>Stopped after %n images</source>
        <translation><numerusform>Arrêté après %n image</numerusform><numerusform>Arrêté après %n images</numerusform></translation>
    </message>
    <message>
        <source>No images written</source>
        <translation>Aucune image écrite</translation>
    </message>
    <message>
        <source>1 image written to %1</source>
        <translation>1 image écrite dans %1</translation>
    </message>
    <message numerus="yes">
        <source>%n images written to %1</source>
        <translation><numerusform>%n image écrite dans %1</numerusform><numerusform>%n images écrites dans %1</numerusform></translation>
    </message>
    <message>
        <source>No images found in selected PDF!</source>
        <translation>Aucune image trouvée dans le PDF choisi !</translation>
    </message>
    <message>
        <source>The folder could not be opened.&#13;
&#13;
The images are in:&#13;
%1</source>
        <translation>Le dossier n&apos;a pas pu être ouvert.&#13;
&#13;
Les images se trouvent dans :&#13;
%1</translation>
    </message>
    <message>
        <source>; the range %1 did not fit the document, so page %2 was extracted</source>
        <translation> ; la plage %1 ne correspondait pas au document, la page %2 a donc été extraite</translation>
    </message>
    <message>
        <source>; the range %1 did not fit the document, so pages %2-%3 were extracted</source>
        <translation> ; la plage %1 ne correspondait pas au document, les pages %2 à %3 ont donc été extraites</translation>
    </message>
</context>
<context>
    <name>inspect::InspectionPrompts</name>
    <message>
        <source>Password needed</source>
        <translation>Mot de passe requis</translation>
    </message>
    <message>
        <source>This PDF is password protected! Please enter the password:&#13;
</source>
        <translation>Ce PDF est protégé par un mot de passe ! Saisissez le mot de passe :&#13;
</translation>
    </message>
    <message>
        <source>Wrong password, please try it again!</source>
        <translation>Mot de passe incorrect, veuillez réessayer !</translation>
    </message>
    <message>
        <source>Couldn&apos;t read PDF header info!&#13;
Probably this file is damaged!</source>
        <translation>Impossible de lire l&apos;en-tête du PDF !&#13;
Ce fichier est probablement endommagé !</translation>
    </message>
    <message>
        <source>This PDF took too long to read!&#13;
Reading it was given up.</source>
        <translation>La lecture de ce PDF a pris trop de temps !&#13;
Elle a été abandonnée.</translation>
    </message>
</context>
<context>
    <name>inspect::PasswordDialog</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>An instance of %1 is already running!</source>
        <translation>%1 est déjà lancé !</translation>
    </message>
    <message>
        <source>%1 is not this user&apos;s alone, and no private folder could be had in its place.</source>
        <translation>%1 n’appartient pas à ce seul utilisateur, et aucun dossier privé n’a pu être obtenu à sa place.</translation>
    </message>
    <message>
        <source>%1 is not this user&apos;s alone, so %2 is used in its place.</source>
        <translation>%1 n’appartient pas à ce seul utilisateur ; %2 est utilisé à sa place.</translation>
    </message>
    <message>
        <source>%1 was not opened: the copy of %2 that runs did not take it.</source>
        <translation>%1 n’a pas été ouvert : l’exemplaire de %2 en cours d’exécution ne l’a pas pris.</translation>
    </message>
</context>
<context>
    <name>online</name>
    <message>
        <source>A newer Arvenzo is available!&#13;
Version number: %1&#13;
&#13;
Would you like to upgrade now?</source>
        <translation>Une version plus récente d&apos;Arvenzo est disponible !&#13;
Numéro de version : %1&#13;
&#13;
Voulez-vous la mettre à jour maintenant ?</translation>
    </message>
</context>
<context>
    <name>online::TDownloadForm</name>
    <message>
        <source>Download Manager</source>
        <translation>Téléchargement</translation>
    </message>
    <message>
        <source>Initializing</source>
        <translation>Préparation</translation>
    </message>
    <message>
        <source>Download progress</source>
        <translation>Progression du téléchargement</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>%1 Setup</source>
        <translation>Installation de %1</translation>
    </message>
    <message>
        <source>Downloading installer</source>
        <translation>Téléchargement du programme d&apos;installation</translation>
    </message>
    <message>
        <source>Are you sure to cancel this download?</source>
        <translation>Voulez-vous vraiment annuler ce téléchargement ?</translation>
    </message>
    <message>
        <source>Installer download error!</source>
        <translation>Erreur lors du téléchargement du programme d&apos;installation !</translation>
    </message>
</context>
<context>
    <name>picker::OnePictureJob</name>
    <message>
        <source>The picture could not be made.</source>
        <translation>L&apos;image n&apos;a pas pu être produite.</translation>
    </message>
</context>
<context>
    <name>picker::PickerTexts</name>
    <message>
        <source>uncompressed</source>
        <translation>non compressée</translation>
    </message>
    <message>
        <source>Page %1, picture %2, %3, %4</source>
        <translation>Page %1, image %2, %3, %4</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>échec</translation>
    </message>
    <message>
        <source>own bytes</source>
        <translation>octets d&apos;origine</translation>
    </message>
    <message>
        <source>repeat of %1</source>
        <translation>répète %1</translation>
    </message>
    <message>
        <source>small</source>
        <translation>petite</translation>
    </message>
    <message>
        <source>Page %1, picture %2</source>
        <translation>Page %1, image %2</translation>
    </message>
    <message>
        <source>%1 pixels</source>
        <translation>%1 pixels</translation>
    </message>
    <message>
        <source>Colours: %1, %2 × %3 bits</source>
        <translation>Couleurs : %1, %2 × %3 bits</translation>
    </message>
    <message>
        <source>Stored as %1, %2 bytes</source>
        <translation>Stockée en %1, %2 octets</translation>
    </message>
    <message>
        <source>Saved as the document&apos;s own bytes</source>
        <translation>Enregistrée avec les octets d&apos;origine du document</translation>
    </message>
    <message>
        <source>Repeats picture %1</source>
        <translation>Répète l&apos;image %1</translation>
    </message>
    <message>
        <source>Smaller than %1</source>
        <translation>Plus petite que %1</translation>
    </message>
    <message>
        <source>The picture could not be read</source>
        <translation>L&apos;image n&apos;a pas pu être lue</translation>
    </message>
    <message>
        <source>stencil mask</source>
        <translation>masque de détourage</translation>
    </message>
</context>
<context>
    <name>picker::PickerWindow</name>
    <message>
        <source>No private scratch folder could be made for the thumbnails.</source>
        <translation>Aucun dossier de travail privé n&apos;a pu être créé pour les vignettes.</translation>
    </message>
    <message>
        <source>Pick pictures: %1, page %2</source>
        <translation>Choisir des images : %1, page %2</translation>
    </message>
    <message>
        <source>Pick pictures: %1, pages %2-%3</source>
        <translation>Choisir des images : %1, pages %2-%3</translation>
    </message>
    <message>
        <source>Pictures</source>
        <translation>Images</translation>
    </message>
    <message>
        <source>Each picture once</source>
        <translation>Chaque image une fois</translation>
    </message>
    <message>
        <source>Hide pictures smaller than</source>
        <translation>Masquer les images plus petites que</translation>
    </message>
    <message>
        <source>Smallest width</source>
        <translation>Largeur minimale</translation>
    </message>
    <message>
        <source>Smallest height</source>
        <translation>Hauteur minimale</translation>
    </message>
    <message>
        <source>Reading the pictures…</source>
        <translation>Lecture des images…</translation>
    </message>
    <message>
        <source>Tick &amp;all</source>
        <translation>&amp;Tout cocher</translation>
    </message>
    <message>
        <source>Tick &amp;none</source>
        <translation>Tout &amp;décocher</translation>
    </message>
    <message>
        <source>&amp;Save selected</source>
        <translation>&amp;Enregistrer la sélection</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Some pictures could not be listed: %1</source>
        <translation>Certaines images n&apos;ont pas pu être listées : %1</translation>
    </message>
    <message>
        <source>Every picture is read.</source>
        <translation>Toutes les images sont lues.</translation>
    </message>
    <message>
        <source>The reading stopped.</source>
        <translation>La lecture s&apos;est arrêtée.</translation>
    </message>
    <message>
        <source>%1 shown, %2 hidden, %3 ticked</source>
        <translation>%1 affichées, %2 masquées, %3 cochées</translation>
    </message>
    <message>
        <source>Wait until the pictures are saved.</source>
        <translation>Attendez que les images soient enregistrées.</translation>
    </message>
    <message>
        <source>No private scratch folder could be made for the picture.</source>
        <translation>Aucun dossier de travail privé n&apos;a pu être créé pour l&apos;image.</translation>
    </message>
    <message>
        <source>Looking for repeats…</source>
        <translation>Recherche des répétitions…</translation>
    </message>
</context>
<context>
    <name>picker::PictureCloser</name>
    <message>
        <source>&amp;Actual size (1:1)</source>
        <translation>Taille &amp;réelle (1:1)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Making the picture…</source>
        <translation>Création de l&apos;image…</translation>
    </message>
</context>
<context>
    <name>program</name>
    <message>
        <source>Output image format: &lt;b&gt;Keep the original&lt;/b&gt;</source>
        <translation>Format de sortie : &lt;b&gt;garder l&apos;original&lt;/b&gt;</translation>
    </message>
    <message>
        <source>Forced output image format: &lt;b&gt;BMP&lt;/b&gt; - Windows Bitmap File (*.BMP)</source>
        <translation>Format de sortie imposé : &lt;b&gt;BMP&lt;/b&gt; - bitmap Windows (*.BMP)</translation>
    </message>
    <message>
        <source>Forced output image format: &lt;b&gt;JPEG&lt;/b&gt; - Independent JPEG Group (*.JPG)</source>
        <translation>Format de sortie imposé : &lt;b&gt;JPEG&lt;/b&gt; - Independent JPEG Group (*.JPG)</translation>
    </message>
    <message>
        <source>Forced output image format: &lt;b&gt;JPEG-2000&lt;/b&gt; - JPEG-2000 File Format (*.JP2)</source>
        <translation>Format de sortie imposé : &lt;b&gt;JPEG-2000&lt;/b&gt; - format de fichier JPEG-2000 (*.JP2)</translation>
    </message>
    <message>
        <source>Forced output image format: &lt;b&gt;PNG&lt;/b&gt; - Portable Network Graphics (*.PNG)</source>
        <translation>Format de sortie imposé : &lt;b&gt;PNG&lt;/b&gt; - Portable Network Graphics (*.PNG)</translation>
    </message>
    <message>
        <source>Forced output image format: &lt;b&gt;TIFF&lt;/b&gt; - Tagged Image File Format (*.TIFF)</source>
        <translation>Format de sortie imposé : &lt;b&gt;TIFF&lt;/b&gt; - Tagged Image File Format (*.TIFF)</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Erreur inconnue</translation>
    </message>
    <message>
        <source>No private scratch folder could be made for the images.</source>
        <translation>Impossible de créer un dossier de travail privé pour les images.</translation>
    </message>
    <message>
        <source>Could not determinated the application&apos;s&#13;
version number!&#13;
&#13;
Please re-install this software!&#13;
</source>
        <translation>Impossible de déterminer le numéro&#13;
de version du programme !&#13;
&#13;
Veuillez réinstaller ce logiciel !&#13;
</translation>
    </message>
    <message>
        <source>Could not determinated the application&apos;s&#13;
website!&#13;
&#13;
Please re-install this software!&#13;
</source>
        <translation>Impossible de déterminer le site&#13;
web du programme !&#13;
&#13;
Veuillez réinstaller ce logiciel !&#13;
</translation>
    </message>
</context>
<context>
    <name>toolkit::PathEdit</name>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Browse for Folder</source>
        <translation>Choisir un dossier</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Parcourir</translation>
    </message>
</context>
<context>
    <name>toolkit::TFilenameEdit</name>
    <message>
        <source>Portable Document Format (*.pdf)</source>
        <translation>Documents PDF (*.pdf)</translation>
    </message>
</context>
<context>
    <name>toolkit::TMessageBox</name>
    <message>
        <source>Warning</source>
        <translation>Avertissement</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Oui</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Non</translation>
    </message>
</context>
</TS>
