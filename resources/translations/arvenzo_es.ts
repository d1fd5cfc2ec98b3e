<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>about</name>
    <message>
        <source>Feedback&#13;
&#13;
  Please click on OK button to send any&#13;
  comments or questions you may have!&#13;
</source>
        <translation>Comentarios&#13;
&#13;
  Pulse Aceptar para enviarnos sus&#13;
  comentarios o preguntas.&#13;
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
        <translation>¿Cómo extraer el texto de archivos PDF?&#13;
&#13;
  Si en su trabajo necesita extraer el texto&#13;
  de archivos PDF, hay una solución.&#13;
&#13;
  Tessaly ha publicado un programa libre y útil&#13;
  que extrae el texto de archivos PDF:&#13;
  Sarnet.&#13;
&#13;
  Para más información y para descargarlo,&#13;
  pulse Aceptar.&#13;
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
        <translation>¡Haga una donación para este programa GRATUITO!&#13;
&#13;
  Si le gusta Arvenzo, puede donar&#13;
  la pequeña cantidad de 15,00 $ o 15,00 € en PayPal&#13;
  para ayudarnos a seguir desarrollándolo. ¡Gracias!&#13;
&#13;
  Pulse Aceptar para donar.&#13;
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
        <translation>Gratuito para uso personal y comercial.&#13;
Guarda cada imagen de un documento PDF&#13;
como un archivo de imagen corriente.&#13;
Sin registro, sin límite de tiempo.</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>Arvenzo logo</source>
        <translation>Logotipo de Arvenzo</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>Acerca de %1</translation>
    </message>
    <message>
        <source>%1 is free software under the GNU AGPL,
version 3 or later, and comes without warranty.</source>
        <translation>%1 es software libre bajo la GNU AGPL,
versión 3 o posterior, sin ninguna garantía.</translation>
    </message>
    <message>
        <source>Read the licence</source>
        <translation>Leer la licencia</translation>
    </message>
</context>
<context>
    <name>app::TMainForm</name>
    <message>
        <source>Select input PDF file</source>
        <translation>Elegir el archivo PDF</translation>
    </message>
    <message>
        <source>Click here to select input PDF file</source>
        <translation>Pulse aquí para elegir el archivo PDF</translation>
    </message>
    <message>
        <source>Select output folder</source>
        <translation>Elegir la carpeta de destino</translation>
    </message>
    <message>
        <source>Click here to specify the output folder</source>
        <translation>Pulse aquí para indicar la carpeta de destino</translation>
    </message>
    <message>
        <source>I like it!</source>
        <translation>¡Me gusta!</translation>
    </message>
    <message>
        <source>Start Pro version</source>
        <translation>Abrir versión Pro</translation>
    </message>
    <message>
        <source>Start extraction</source>
        <translation>Extraer</translation>
    </message>
    <message>
        <source>Input PDF File</source>
        <translation>Archivo PDF</translation>
    </message>
    <message>
        <source>Input PDF file</source>
        <translation>Archivo PDF</translation>
    </message>
    <message>
        <source>Choose input PDF file</source>
        <translation>Elegir el archivo PDF</translation>
    </message>
    <message>
        <source>View selected PDF file</source>
        <translation>Ver el archivo PDF elegido</translation>
    </message>
    <message>
        <source>Page Count:</source>
        <translation>Páginas:</translation>
    </message>
    <message>
        <source>Page Range:</source>
        <translation>Rango:</translation>
    </message>
    <message>
        <source>Example: 1-5 (leave it blank for all)</source>
        <translation>Ejemplo: 1-5 (vacío para todas)</translation>
    </message>
    <message>
        <source>Play Video Tutorial</source>
        <translation>Videotutorial</translation>
    </message>
    <message>
        <source>Output Settings</source>
        <translation>Salida</translation>
    </message>
    <message>
        <source>Output folder</source>
        <translation>Carpeta de destino</translation>
    </message>
    <message>
        <source>Choose output folder</source>
        <translation>Elegir la carpeta de destino</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>Carpeta:</translation>
    </message>
    <message>
        <source>Open selected folder</source>
        <translation>Abrir la carpeta elegida</translation>
    </message>
    <message>
        <source>Output filename&apos;s prefix&lt;br&gt;&lt;i&gt;Example:&lt;/i&gt; image-</source>
        <translation>Comienzo de los nombres de archivo&lt;br&gt;&lt;i&gt;Ejemplo:&lt;/i&gt; imagen-</translation>
    </message>
    <message>
        <source>Prefix:</source>
        <translation>Prefijo:</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Formato</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>Formato:</translation>
    </message>
    <message>
        <source>Open After Extraction</source>
        <translation>Abrir al terminar</translation>
    </message>
    <message>
        <source>Donation</source>
        <translation>Donación</translation>
    </message>
    <message>
        <source>Extraction progress</source>
        <translation>Progreso de la extracción</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Archivo</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Salir</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Editar</translation>
    </message>
    <message>
        <source>Auto set output folder</source>
        <translation>Carpeta de destino automática</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Ayuda</translation>
    </message>
    <message>
        <source>Website</source>
        <translation>Sitio web</translation>
    </message>
    <message>
        <source>Video tutorial</source>
        <translation>Videotutorial</translation>
    </message>
    <message>
        <source>Feedback</source>
        <translation>Comentarios</translation>
    </message>
    <message>
        <source>How to extract text?</source>
        <translation>¿Cómo extraer texto?</translation>
    </message>
    <message>
        <source>Donate</source>
        <translation>Donar</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>%1 is busy and cannot open this document now:&#13;
%2</source>
        <translation>%1 está ocupado y no puede abrir este documento ahora:&#13;
%2</translation>
    </message>
    <message>
        <source>This is not an ordinary file, so it cannot be opened:&#13;
%1</source>
        <translation>Esto no es un archivo normal, por lo que no se puede abrir:&#13;
%1</translation>
    </message>
    <message>
        <source>Please specify the input PDF file!</source>
        <translation>¡Indique el archivo PDF!</translation>
    </message>
    <message>
        <source>Pictures…</source>
        <translation>Imágenes…</translation>
    </message>
    <message>
        <source>Pick pictures</source>
        <translation>Elegir imágenes</translation>
    </message>
    <message>
        <source>See the pictures of the document and pick the ones to save (Ctrl+P)</source>
        <translation>Ver las imágenes del documento y elegir las que se guardan (Ctrl+P)</translation>
    </message>
    <message>
        <source>Pick pictures…</source>
        <translation>Elegir imágenes…</translation>
    </message>
</context>
<context>
    <name>extract::ExtractionControl</name>
    <message>
        <source>Some errors occured during the extraction process!</source>
        <translation>¡Se produjeron errores durante la extracción!</translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation><numerusform>y %n más</numerusform><numerusform>y %n más</numerusform></translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the extraction?</source>
        <translation>¿Seguro que desea detener la extracción?</translation>
    </message>
    <message>
        <source>Please specify the input PDF file!</source>
        <translation>¡Indique el archivo PDF!</translation>
    </message>
    <message>
        <source>Please specify the output folder!</source>
        <translation>¡Indique la carpeta de destino!</translation>
    </message>
    <message>
        <source>%1 already exists.&#13;
&#13;
Do you want to replace it?</source>
        <translation>%1 ya existe.&#13;
&#13;
¿Desea reemplazarlo?</translation>
    </message>
    <message>
        <source>Stop Extraction</source>
        <translation>Detener</translation>
    </message>
    <message>
        <source>Start Extraction</source>
        <translation>Extraer</translation>
    </message>
    <message>
        <source>Stopped after 1 image</source>
        <translation>Detenido tras 1 imagen</translation>
    </message>
    <message numerus="yes">
        <source>Stopped after %n images</source>
        <translation><numerusform>Detenido tras %n imagen</numerusform><numerusform>Detenido tras %n imágenes</numerusform></translation>
    </message>
    <message>
        <source>No images written</source>
        <translation>No se escribió ninguna imagen</translation>
    </message>
    <message>
        <source>1 image written to %1</source>
        <translation>1 imagen escrita en %1</translation>
    </message>
    <message numerus="yes">
        <source>%n images written to %1</source>
        <translation><numerusform>%n imagen escrita en %1</numerusform><numerusform>%n imágenes escritas en %1</numerusform></translation>
    </message>
    <message>
        <source>No images found in selected PDF!</source>
        <translation>¡No se encontraron imágenes en el PDF elegido!</translation>
    </message>
    <message>
        <source>The folder could not be opened.&#13;
&#13;
The images are in:&#13;
%1</source>
        <translation>No se pudo abrir la carpeta.&#13;
&#13;
Las imágenes están en:&#13;
%1</translation>
    </message>
    <message>
        <source>; the range %1 did not fit the document, so page %2 was extracted</source>
        <translation>; el rango %1 no cabía en el documento, así que se extrajo la página %2</translation>
    </message>
    <message>
        <source>; the range %1 did not fit the document, so pages %2-%3 were extracted</source>
        <translation>; el rango %1 no cabía en el documento, así que se extrajeron las páginas %2-%3</translation>
    </message>
</context>
<context>
    <name>inspect::InspectionPrompts</name>
    <message>
        <source>Password needed</source>
        <translation>Se necesita contraseña</translation>
    </message>
    <message>
        <source>This PDF is password protected! Please enter the password:&#13;
</source>
        <translation>¡Este PDF está protegido con contraseña! Escriba la contraseña:&#13;
</translation>
    </message>
    <message>
        <source>Wrong password, please try it again!</source>
        <translation>Contraseña incorrecta, ¡inténtelo de nuevo!</translation>
    </message>
    <message>
        <source>Couldn&apos;t read PDF header info!&#13;
Probably this file is damaged!</source>
        <translation>¡No se pudo leer la cabecera del PDF!&#13;
¡Probablemente el archivo esté dañado!</translation>
    </message>
    <message>
        <source>This PDF took too long to read!&#13;
Reading it was given up.</source>
        <translation>¡La lectura de este PDF tardó demasiado!&#13;
Se ha abandonado.</translation>
    </message>
</context>
<context>
    <name>inspect::PasswordDialog</name>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>An instance of %1 is already running!</source>
        <translation>¡%1 ya se está ejecutando!</translation>
    </message>
    <message>
        <source>%1 is not this user&apos;s alone, and no private folder could be had in its place.</source>
        <translation>%1 no es solo de este usuario, y no se pudo obtener una carpeta privada en su lugar.</translation>
    </message>
    <message>
        <source>%1 is not this user&apos;s alone, so %2 is used in its place.</source>
        <translation>%1 no es solo de este usuario, así que se usa %2 en su lugar.</translation>
    </message>
    <message>
        <source>%1 was not opened: the copy of %2 that runs did not take it.</source>
        <translation>%1 no se abrió: la copia de %2 en ejecución no lo aceptó.</translation>
    </message>
</context>
<context>
    <name>online</name>
    <message>
        <source>A newer Arvenzo is available!&#13;
Version number: %1&#13;
&#13;
Would you like to upgrade now?</source>
        <translation>¡Hay una versión más reciente de Arvenzo!&#13;
Número de versión: %1&#13;
&#13;
¿Desea actualizar ahora?</translation>
    </message>
</context>
<context>
    <name>online::TDownloadForm</name>
    <message>
        <source>Download Manager</source>
        <translation>Descarga</translation>
    </message>
    <message>
        <source>Initializing</source>
        <translation>Preparando</translation>
    </message>
    <message>
        <source>Download progress</source>
        <translation>Progreso de la descarga</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>%1 Setup</source>
        <translation>Instalación de %1</translation>
    </message>
    <message>
        <source>Downloading installer</source>
        <translation>Descargando el instalador</translation>
    </message>
    <message>
        <source>Are you sure to cancel this download?</source>
        <translation>¿Seguro que desea cancelar esta descarga?</translation>
    </message>
    <message>
        <source>Installer download error!</source>
        <translation>¡Error al descargar el instalador!</translation>
    </message>
</context>
<context>
    <name>picker::OnePictureJob</name>
    <message>
        <source>The picture could not be made.</source>
        <translation>No se pudo crear la imagen.</translation>
    </message>
</context>
<context>
    <name>picker::PickerTexts</name>
    <message>
        <source>uncompressed</source>
        <translation>sin comprimir</translation>
    </message>
    <message>
        <source>Page %1, picture %2, %3, %4</source>
        <translation>Página %1, imagen %2, %3, %4</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>fallida</translation>
    </message>
    <message>
        <source>own bytes</source>
        <translation>bytes originales</translation>
    </message>
    <message>
        <source>repeat of %1</source>
        <translation>repite %1</translation>
    </message>
    <message>
        <source>small</source>
        <translation>pequeña</translation>
    </message>
    <message>
        <source>Page %1, picture %2</source>
        <translation>Página %1, imagen %2</translation>
    </message>
    <message>
        <source>%1 pixels</source>
        <translation>%1 píxeles</translation>
    </message>
    <message>
        <source>Colours: %1, %2 × %3 bits</source>
        <translation>Colores: %1, %2 × %3 bits</translation>
    </message>
    <message>
        <source>Stored as %1, %2 bytes</source>
        <translation>Almacenada como %1, %2 bytes</translation>
    </message>
    <message>
        <source>Saved as the document&apos;s own bytes</source>
        <translation>Se guarda con los bytes originales del documento</translation>
    </message>
    <message>
        <source>Repeats picture %1</source>
        <translation>Repite la imagen %1</translation>
    </message>
    <message>
        <source>Smaller than %1</source>
        <translation>Menor que %1</translation>
    </message>
    <message>
        <source>The picture could not be read</source>
        <translation>No se pudo leer la imagen</translation>
    </message>
    <message>
        <source>stencil mask</source>
        <translation>máscara de recorte</translation>
    </message>
</context>
<context>
    <name>picker::PickerWindow</name>
    <message>
        <source>No private scratch folder could be made for the thumbnails.</source>
        <translation>No se pudo crear una carpeta de trabajo privada para las miniaturas.</translation>
    </message>
    <message>
        <source>Pick pictures: %1, page %2</source>
        <translation>Elegir imágenes: %1, página %2</translation>
    </message>
    <message>
        <source>Pick pictures: %1, pages %2-%3</source>
        <translation>Elegir imágenes: %1, páginas %2-%3</translation>
    </message>
    <message>
        <source>Pictures</source>
        <translation>Imágenes</translation>
    </message>
    <message>
        <source>Each picture once</source>
        <translation>Cada imagen una vez</translation>
    </message>
    <message>
        <source>Hide pictures smaller than</source>
        <translation>Ocultar imágenes menores que</translation>
    </message>
    <message>
        <source>Smallest width</source>
        <translation>Ancho mínimo</translation>
    </message>
    <message>
        <source>Smallest height</source>
        <translation>Alto mínimo</translation>
    </message>
    <message>
        <source>Reading the pictures…</source>
        <translation>Leyendo las imágenes…</translation>
    </message>
    <message>
        <source>Tick &amp;all</source>
        <translation>Marcar &amp;todas</translation>
    </message>
    <message>
        <source>Tick &amp;none</source>
        <translation>&amp;Desmarcar todas</translation>
    </message>
    <message>
        <source>&amp;Save selected</source>
        <translation>&amp;Guardar las elegidas</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Some pictures could not be listed: %1</source>
        <translation>Algunas imágenes no se pudieron listar: %1</translation>
    </message>
    <message>
        <source>Every picture is read.</source>
        <translation>Todas las imágenes están leídas.</translation>
    </message>
    <message>
        <source>The reading stopped.</source>
        <translation>La lectura se detuvo.</translation>
    </message>
    <message>
        <source>%1 shown, %2 hidden, %3 ticked</source>
        <translation>%1 visibles, %2 ocultas, %3 marcadas</translation>
    </message>
    <message>
        <source>Wait until the pictures are saved.</source>
        <translation>Espere a que se guarden las imágenes.</translation>
    </message>
    <message>
        <source>No private scratch folder could be made for the picture.</source>
        <translation>No se pudo crear una carpeta de trabajo privada para la imagen.</translation>
    </message>
    <message>
        <source>Looking for repeats…</source>
        <translation>Buscando repeticiones…</translation>
    </message>
</context>
<context>
    <name>picker::PictureCloser</name>
    <message>
        <source>&amp;Actual size (1:1)</source>
        <translation>Tamaño &amp;real (1:1)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Making the picture…</source>
        <translation>Creando la imagen…</translation>
    </message>
</context>
<context>
    <name>program</name>
    <message>
        <source>Output image format: &lt;b&gt;Keep the original&lt;/b&gt;</source>
        <translation>Formato de salida: &lt;b&gt;mantener el original&lt;/b&gt;</translation>
    </message>
    <message>
        <source>Forced output image format: &lt;b&gt;BMP&lt;/b&gt; - Windows Bitmap File (*.BMP)</source>
        <translation>Formato de salida fijo: &lt;b&gt;BMP&lt;/b&gt; - mapa de bits de Windows (*.BMP)</translation>
    </message>
    <message>
        <source>Forced output image format: &lt;b&gt;JPEG&lt;/b&gt; - Independent JPEG Group (*.JPG)</source>
        <translation>Formato de salida fijo: &lt;b&gt;JPEG&lt;/b&gt; - Independent JPEG Group (*.JPG)</translation>
    </message>
    <message>
        <source>Forced output image format: &lt;b&gt;JPEG-2000&lt;/b&gt; - JPEG-2000 File Format (*.JP2)</source>
        <translation>Formato de salida fijo: &lt;b&gt;JPEG-2000&lt;/b&gt; - formato de archivo JPEG-2000 (*.JP2)</translation>
    </message>
    <message>
        <source>Forced output image format: &lt;b&gt;PNG&lt;/b&gt; - Portable Network Graphics (*.PNG)</source>
        <translation>Formato de salida fijo: &lt;b&gt;PNG&lt;/b&gt; - Portable Network Graphics (*.PNG)</translation>
    </message>
    <message>
        <source>Forced output image format: &lt;b&gt;TIFF&lt;/b&gt; - Tagged Image File Format (*.TIFF)</source>
        <translation>Formato de salida fijo: &lt;b&gt;TIFF&lt;/b&gt; - Tagged Image File Format (*.TIFF)</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Error desconocido</translation>
    </message>
    <message>
        <source>No private scratch folder could be made for the images.</source>
        <translation>No se pudo crear una carpeta de trabajo privada para las imágenes.</translation>
    </message>
    <message>
        <source>Could not determinated the application&apos;s&#13;
version number!&#13;
&#13;
Please re-install this software!&#13;
</source>
        <translation>¡No se pudo determinar el número&#13;
de versión del programa!&#13;
&#13;
¡Vuelva a instalar este programa!&#13;
</translation>
    </message>
    <message>
        <source>Could not determinated the application&apos;s&#13;
website!&#13;
&#13;
Please re-install this software!&#13;
</source>
        <translation>¡No se pudo determinar el sitio&#13;
web del programa!&#13;
&#13;
¡Vuelva a instalar este programa!&#13;
</translation>
    </message>
</context>
<context>
    <name>toolkit::PathEdit</name>
    <message>
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
    <message>
        <source>Browse for Folder</source>
        <translation>Elegir una carpeta</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Examinar</translation>
    </message>
</context>
<context>
    <name>toolkit::TFilenameEdit</name>
    <message>
        <source>Portable Document Format (*.pdf)</source>
        <translation>Documentos PDF (*.pdf)</translation>
    </message>
</context>
<context>
    <name>toolkit::TMessageBox</name>
    <message>
        <source>Warning</source>
        <translation>Advertencia</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Información</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Confirmar</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Sí</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
</context>
</TS>
