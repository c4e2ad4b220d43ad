#include "server/administracion/Semilla.h"

#include "outside/Conexion.h"
#include "server/administracion/Contrasenas.h"

#include <QDateTime>
#include <array>

namespace {

// A null pointer stands for a null column.
QVariant texto(const char* s) {
    return s ? QVariant(QString::fromUtf8(s)) : QVariant();
}

// ---- kelmar -------------------------------------------------------------

struct Area {
    const char* clave;
    const char* nombre;
};
constexpr Area areas[] = {
    {"SE", "Oficina del Secretario de Educación"},
    {"SPART", "Secretaría Particular"},
    {"SEB", "Subsecretaría de Educación Básica"},
    {"SEMSS", "Subsecretaría de Educación Media Superior y Superior"},
    {"DGPE", "Dirección General de Planeación y Evaluación Educativa"},
    {"DGA", "Dirección General de Administración"},
    {"DGAJ", "Dirección General de Asuntos Jurídicos"},
    {"DGCS", "Dirección General de Comunicación Social"},
    {"DGFD", "Dirección General de Formación y Actualización Docente"},
    {"DGEB", "Dirección General de Educación Básica"},
    {"CEI", "Coordinación de Enlace Interinstitucional"},
    {"CA", "Coordinación de Asesores"},
    {"UI", "Unidad de Informática"},
};

struct Cargo {
    const char* clave;
    const char* descripcion;
};
constexpr Cargo cargos[] = {
    {"001", "Secretario de Educación"},
    {"002", "Secretario Particular"},
    {"003", "Secretario Técnico"},
    {"004", "Subsecretario de Educación Básica"},
    {"005", "Subsecretario de Educación Media Superior y Superior"},
    {"006", "Director General de Planeación y Evaluación Educativa"},
    {"007", "Director General de Administración"},
    {"008", "Director General de Asuntos Jurídicos"},
    {"009", "Director General de Comunicación Social"},
    {"010", "Director General de Formación y Actualización Docente"},
    {"011", "Director General de Educación Básica"},
    {"012", "Director de Educación Preescolar"},
    {"013", "Director de Educación Primaria"},
    {"014", "Director de Educación Secundaria"},
    {"015", "Director de Educación Media Superior"},
    {"016", "Director de Recursos Humanos"},
    {"017", "Director de Recursos Financieros"},
    {"018", "Jefe de Departamento de Recursos Materiales"},
    {"019", "Jefe de Departamento de Estadística"},
    {"020", "Jefe de Departamento de Eventos Especiales"},
    {"021", "Jefe de Departamento de lo Contencioso"},
    {"022", "Jefe de Departamento de Difusión"},
    {"023", "Jefe de Departamento de Atención Ciudadana"},
    {"024", "Coordinador de Enlace Interinstitucional"},
    {"025", "Coordinador de Asesores"},
    {"026", "Coordinador de Programas Compensatorios"},
    {"027", "Coordinador Regional Zona Oriente"},
    {"028", "Coordinador Regional Zona Sur"},
    {"029", "Jefe de la Unidad de Informática"},
    {"030", "Asesor"},
};

struct Funcionario {
    const char* clave;
    const char* nombre;
    const char* cargo;
    const char* area;
    const char* telefono;
};
constexpr Funcionario funcionarios[] = {
    {"0001", "Rafael Tapia Villaseñor", "001", "SE", "777-3180100"},
    {"0002", "María Elena Ortiz Salgado", "002", "SPART", "777-3180102"},
    {"0003", "Jorge Alberto Figueroa Mendoza", "003", "SE", "777-3180104"},
    {"0004", "Patricia Ocampo Bahena", "004", "SEB", "777-3180110"},
    {"0005", "Héctor Manuel Salazar Rivera", "005", "SEMSS", "777-3180120"},
    {"0006", "Guadalupe Aranda Estrada", "006", "DGPE", "777-3180130"},
    {"0007", "Francisco Javier Nava Ramírez", "007", "DGA", "777-3180140"},
    {"0008", "Laura Patricia Domínguez Soto", "008", "DGAJ", "777-3180150"},
    {"0009", "Óscar Iván Barrera Montes", "009", "DGCS", "777-3180160"},
    {"0010", "Rosa María Cortés Alarcón", "010", "DGFD", "777-3180170"},
    {"0011", "Arturo Flores Pedraza", "011", "DGEB", "777-3180180"},
    {"0012", "Silvia Carrillo Sotelo", "012", "DGEB", "777-3180181"},
    {"0013", "Miguel Ángel Rendón Quintero", "013", "DGEB", "777-3180182"},
    {"0014", "Leticia Hernández Campos", "014", "DGEB", "777-3180183"},
    {"0015", "José Luis Bustamante Ayala", "015", "SEMSS", "777-3180121"},
    {"0016", "Ernesto Vázquez Linares", "016", "DGA", "777-3180141"},
    {"0017", "Claudia Ivonne Mejía Rosas", "017", "DGA", "777-3180142"},
    {"0018", "Ricardo Sánchez Olivares", "018", "DGA", "777-3180143"},
    {"0019", "Norma Angélica Gutiérrez Beltrán", "019", "DGPE", "777-3180131"},
    {"0020", "Verónica Alpízar Torres", "020", "SPART", "777-3180103"},
    {"0021", "Alejandro Ruiz Camacho", "021", "DGAJ", "777-3180151"},
    {"0022", "Martha Elba Quiroz Navarrete", "022", "DGCS", "777-3180161"},
    {"0023", "Irma Lorena Cuevas Delgado", "023", "SPART", "777-3180105"},
    {"0024", "Gabriela Montoya Ibarra", "024", "CEI", "777-3180190"},
    {"0025", "Roberto Carlos Jaimes Tovar", "025", "CA", "777-3180195"},
    {"0026", "Sandra Luz Acosta Peralta", "030", "CA", "777-3180196"},
    {"0027", "Eduardo Moreno Castillo", "030", "CA", "777-3180197"},
    {"0028", "Beatriz Adriana Solís Valdez", "030", "CA", "777-3180198"},
    {"0029", "Alfonso Díaz Chávez", "030", "SE", "777-3180106"},
    {"0030", "Raúl Benítez Zamora", "029", "UI", "777-3180199"},
    {"0031", "Marco Antonio Guerrero Lagunas", "026", "SEB", "777-3180111"},
    {"0032", "Yolanda Estrada Pineda", "027", "SEB", "735-3521840"},
    {"0033", "Gerardo Trujillo Leyva", "028", "SEB", "734-3420615"},
    {"0034", "Juan Carlos Medina Reyes", "010", "DGFD", "777-3180171"},
    {"0035", "Adriana Pérez Morales", "019", "DGPE", "777-3180132"},
    {"0036", "Fernando Castañeda Juárez", "018", "DGA", "777-3180144"},
    {"0037", "Teresa de Jesús Villalobos Nájera", "013", "DGEB", "777-3180184"},
    {"0038", "Pedro Salgado Urióstegui", "020", "SPART", "777-3180107"},
    {"0039", "Lourdes Mondragón Arizmendi", "022", "DGCS", "777-3180162"},
    {"0040", "Alma Delia Rojas Escobar", "029", "UI", "777-3180200"},
};

// INEGI keys of the 33 municipalities; the first locality of each is its seat
// and gets the key "0001", the others follow in order.
struct Municipio {
    const char* clave;
    const char* nombre;
    std::array<const char*, 6> localidades;
};
constexpr Municipio municipios[] = {
    {"001", "Amacuzac", {"Amacuzac", "Huajintlán", "Casahuatlán", "Cajones"}},
    {"002", "Atlatlahucan", {"Atlatlahucan", "San Juan Texcalpan"}},
    {"003", "Axochiapan", {"Axochiapan", "Telixtac", "Atlacahualoya", "Quebrantadero"}},
    {"004", "Ayala", {"Ciudad Ayala", "Anenecuilco", "Tenextepango", "Tlayecac", "Chinameca"}},
    {"005", "Coatlán del Río", {"Coatlán del Río", "Chavarría", "Cocoyotla", "Michapa"}},
    {"006", "Cuautla", {"Cuautla", "Tetelcingo", "Casasano", "Eusebio Jáuregui"}},
    {"007",
     "Cuernavaca",
     {"Cuernavaca", "Ahuatepec", "Santa María Ahuacatitlán", "Chamilpa", "Tetela del Monte",
      "Buenavista del Monte"}},
    {"008", "Emiliano Zapata", {"Emiliano Zapata", "Tezoyuca", "Tepetzingo", "Tetecalita"}},
    {"009", "Huitzilac", {"Huitzilac", "Tres Marías", "Coajomulco"}},
    {"010", "Jantetelco", {"Jantetelco", "Amayuca", "Chalcatzingo", "Tenango"}},
    {"011", "Jiutepec", {"Jiutepec", "Progreso", "Tejalpa", "Atlacomulco"}},
    {"012", "Jojutla", {"Jojutla", "Tehuixtla", "Tlatenchi", "Higuerón", "Chisco"}},
    {"013", "Jonacatepec", {"Jonacatepec", "Tetelilla", "Amacuitlapilco", "Tlayca"}},
    {"014", "Mazatepec", {"Mazatepec", "Cuauchichinola"}},
    {"015", "Miacatlán", {"Miacatlán", "Coatetelco", "Palpan", "El Rodeo"}},
    {"016", "Ocuituco", {"Ocuituco", "Huecahuasco", "Jumiltepec", "Metepec"}},
    {"017", "Puente de Ixtla", {"Puente de Ixtla", "Xoxocotla", "Tilzapotla", "San José Vista Hermosa"}},
    {"018", "Temixco", {"Temixco", "Acatlipa", "Cuentepec", "Tetlama", "Pueblo Viejo"}},
    {"019", "Tepalcingo", {"Tepalcingo", "Atotonilco", "Ixtlilco el Grande"}},
    {"020",
     "Tepoztlán",
     {"Tepoztlán", "Santa Catarina", "San Juan Tlacotenco", "Amatlán de Quetzalcóatl",
      "Santo Domingo Ocotitlán"}},
    {"021", "Tetecala", {"Tetecala"}},
    {"022", "Tetela del Volcán", {"Tetela del Volcán", "Hueyapan", "Tlalmimilulpan"}},
    {"023", "Tlalnepantla", {"Tlalnepantla", "El Vigía", "Felipe Neri"}},
    {"024",
     "Tlaltizapán",
     {"Tlaltizapán", "Santa Rosa Treinta", "Temimilcingo", "Ticumán", "Bonifacio García"}},
    {"025", "Tlaquiltenango", {"Tlaquiltenango", "Huautla", "Valle de Vázquez"}},
    {"026", "Tlayacapan", {"Tlayacapan", "San José de los Laureles"}},
    {"027", "Totolapan", {"Totolapan", "Nepopualco"}},
    {"028", "Xochitepec", {"Xochitepec", "Alpuyeca", "Atlacholoaya", "Chiconcuac", "Real del Puente"}},
    {"029", "Yautepec", {"Yautepec", "Oacalco", "Oaxtepec", "Cocoyoc", "Itzamatitlán"}},
    {"030", "Yecapixtla", {"Yecapixtla", "Achichipico", "Texcala", "Xochitlán"}},
    {"031", "Zacatepec", {"Zacatepec", "Galeana", "Tetelpa"}},
    {"032", "Zacualpan", {"Zacualpan de Amilpas", "Tlacotepec"}},
    {"033", "Temoac", {"Temoac", "Amilcingo", "Huazulco", "Popotlán"}},
    // What an event outside any municipality, or of unknown place, points to.
    {"000", "Sin Municipio", {}},
};
constexpr const char* sinMunicipio = "000";

constexpr int primerAnio = 2008;
constexpr int ultimoAnio = 2030;

// Each column feeds its own list, so rows may leave some empty; at most five
// characters, as the invitation keeps them. Each reads on from the words the
// invitation puts before it: "En relación: a la ...", "El evento se realizará
// en: el ..." and "... sugiere la presencia de ..." ("del" and "de la" go
// before a title typed with the name: "del Lic. ...").
struct Prefijos {
    const char* descripcion;
    const char* representante;
    const char* ubicacion;
};
constexpr Prefijos prefijos[] = {
    {"al", "de", "el"},
    {"a la", "del", "la"},
    {"a los", "de la", "los"},
    {"a las", nullptr, "las"},
};

constexpr const char* indicaciones[] = {
    "Asistir en representación del C. Secretario",
    "Designar a un representante y confirmar su asistencia",
    "Atender y enviar tarjeta informativa",
    "Asistir y dirigir un mensaje a nombre del C. Secretario",
    "Confirmar con los organizadores la asistencia del C. Secretario",
    "Atender conforme a sus atribuciones e informar el resultado",
    "Preparar ficha técnica del evento para el C. Secretario",
    "Acompañar al C. Secretario al evento",
    "Enviar mensaje de felicitación a nombre del C. Secretario",
    "Declinar la invitación por escrito a nombre del C. Secretario",
    "Para su conocimiento y atención procedente",
};

// ---- taloren ------------------------------------------------------------

constexpr const char* instrucciones[] = {
    "Asistir en representación",
    "Asistir y rendir tarjeta informativa al C. Secretario de Educación",
    "Designar representante y confirmar su asistencia a la Secretaría Particular",
    "Atender y enviar tarjeta informativa",
    "Acompañar al C. Secretario de Educación",
    "Asistir y dirigir mensaje a nombre del C. Secretario de Educación",
    "Confirmar asistencia con los organizadores del evento",
    "Para su conocimiento y atención",
    "Dar seguimiento e informar el resultado",
    "Declinar la invitación por escrito a nombre del C. Secretario de Educación",
};

struct Suscriptor {
    const char* nombre;
    const char* cargo;
};
constexpr Suscriptor suscriptores[] = {
    {"Alberto Sánchez Gallegos", "Presidente Municipal de Cuernavaca"},
    {"Juana Ocampo Galindo", "Presidenta Municipal de Cuautla"},
    {"Rodrigo Arenas Pliego", "Presidente Municipal de Jiutepec"},
    {"Efrén Castro Santamaría", "Presidente Municipal de Temixco"},
    {"Héctor Luna Velázquez", "Rector de la Universidad Autónoma del Estado de Morelos"},
    // The same person under a second post: the list shows the name once.
    {"Héctor Luna Velázquez", "Presidente del Consejo Regional Centro Sur de la ANUIES"},
    {"Marisol Bernal Cisneros", "Rectora de la Universidad Politécnica del Estado de Morelos"},
    {"Gustavo Lagunas Trejo", "Secretario General de la Sección 19 del SNTE"},
    {"Claudia Reynoso Herrera",
     "Directora General del Instituto de la Educación Básica del Estado de Morelos"},
    {"Samuel Peña Olvera", "Director General del Colegio de Bachilleres del Estado de Morelos"},
    {"Ignacio Zavala Rosales", "Director General del CECyTE Morelos"},
    {"Elena Cervantes Lozano", "Presidenta del Sistema DIF Morelos"},
    {"Mario Alberto Gómez Ferrer", "Presidente de la Asociación Estatal de Padres de Familia de Morelos"},
    {"Sergio Ramos Aguilar", "Director de la Escuela Normal Urbana Federal Cuautla"},
    {"Karina Ortega Villalba", "Presidenta de la Comisión de Educación y Cultura del Congreso del Estado"},
    {"Raymundo Cruz Peralta", "Director del Instituto Tecnológico de Zacatepec"},
    {"Leticia Pineda Brito",
     "Secretaria General del Sindicato de Trabajadores al Servicio del Gobierno del Estado"},
};

struct Lugar {
    const char* direccion;
    const char* lugar;
};
constexpr Lugar lugares[] = {
    {"Plaza de Armas s/n, Col. Centro, Cuernavaca", "Palacio de Gobierno"},
    {"Av. Morelos 271, Col. Centro, Cuernavaca", "Jardín Borda"},
    {"Av. Universidad 1001, Col. Chamilpa, Cuernavaca", "Auditorio Emiliano Zapata de la UAEM"},
    {"Calle Rayón 1, Col. Centro, Cuernavaca", "Teatro Ocampo"},
    {"Calle Río Balsas s/n, Col. Vista Hermosa, Cuernavaca", "Centro Cultural Teopanzolco"},
    {"Av. Plan de Ayala 825, Col. Teopanzolco, Cuernavaca",
     "Salón de Usos Múltiples de la Secretaría de Educación"},
    {"Callejón del Castigo 3, Col. Centro, Cuautla", "Museo Casa de Morelos"},
    {"Plaza Principal s/n, Col. Centro, Jiutepec", "Explanada del Ayuntamiento de Jiutepec"},
    {"Carretera Cuautla-Izúcar de Matamoros km 24, Amilcingo, Temoac",
     "Escuela Normal Rural Emiliano Zapata"},
    {"Calle Morelos s/n, Chinameca, Ayala", "Ex Hacienda de Chinameca"},
    {"Calzada Tecnológico 27, Col. Centro, Zacatepec", "Instituto Tecnológico de Zacatepec"},
    {"Av. Emiliano Zapata s/n, Col. Centro, Jojutla", "Jardín Central de Jojutla"},
};

} // namespace

void Semilla::siembraKelmar(Conexion& kelmar) {
    kelmar.ejecuta(
        QStringLiteral("insert into configuracion (id, Acceso, Mensaje1, FechaUltimaVersion, Criticidad)"
                       " values (1, 1, ?, ?, 0)"),
        {QStringLiteral(""), QDateTime(QDate(2011, 11, 18), QTime(0, 0))});
    // The embedded catalog, one station's own, starts with the documented
    // first account; a server's first account gets the password its
    // administrator gives to taloren-admin create.
    if (kelmar.motor() == Motor::SQLite)
        kelmar.ejecuta(
            QStringLiteral("insert into usuarios (CuentaUsr, Nick, Contrasena, Activo) values (?, ?, ?, 1)"),
            {QString::fromLatin1(cuentaInicial), QString::fromLatin1(nickInicial),
             Contrasenas::codifica(QString::fromLatin1(contrasenaInicialDeAdmin))});

    for (const Area& a : areas)
        kelmar.ejecuta(QStringLiteral("insert into areas (cvearea, nombre) values (?, ?)"),
                       {texto(a.clave), texto(a.nombre)});
    for (const Cargo& c : cargos)
        kelmar.ejecuta(QStringLiteral("insert into cargos (cvecargo, descripcion) values (?, ?)"),
                       {texto(c.clave), texto(c.descripcion)});
    for (const Funcionario& f : funcionarios)
        kelmar.ejecuta(
            QStringLiteral("insert into funcionarios (cvefuncionario, nombre, cvecargo, cvearea, telefono)"
                           " values (?, ?, ?, ?, ?)"),
            {texto(f.clave), texto(f.nombre), texto(f.cargo), texto(f.area), texto(f.telefono)});

    for (const Municipio& m : municipios) {
        kelmar.ejecuta(QStringLiteral("insert into municipios_tmp (cvemunicipio, nombre) values (?, ?)"),
                       {texto(m.clave), texto(m.nombre)});
        int numero = 0;
        for (const char* localidad : m.localidades) {
            if (!localidad)
                break;
            kelmar.ejecuta(
                QStringLiteral("insert into localidad (municipio, localidad, nombre) values (?, ?, ?)"),
                {texto(m.clave), QStringLiteral("%1").arg(++numero, 4, 10, QLatin1Char('0')),
                 texto(localidad)});
        }
    }
    kelmar.ejecuta(QStringLiteral("insert into localidad (municipio, localidad, nombre) values (?, ?, ?)"),
                   {texto(sinMunicipio), QStringLiteral("0000"), QStringLiteral("Sin Localidad")});

    for (int anio = primerAnio; anio <= ultimoAnio; ++anio)
        kelmar.ejecuta(QStringLiteral("insert into Anio (Anio) values (?)"), {anio});

    int id = 0;
    for (const Prefijos& p : prefijos)
        kelmar.ejecuta(
            QStringLiteral("insert into prefijos (id, Prefijo1, Prefijo2, Prefijo3) values (?, ?, ?, ?)"),
            {++id, texto(p.descripcion), texto(p.representante), texto(p.ubicacion)});
    id = 0;
    for (const char* indicacion : indicaciones)
        kelmar.ejecuta(QStringLiteral("insert into indicaciones (id, descripcion) values (?, ?)"),
                       {++id, texto(indicacion)});
}

void Semilla::agregaSinLocalidad(Conexion& kelmar) {
    const QString sinLocalidad = QStringLiteral("Sin Localidad");
    const Recordset faltantes = kelmar.ejecuta(
        QStringLiteral("select cvemunicipio from municipios_tmp m where not exists "
                       "(select 1 from localidad l where l.municipio = m.cvemunicipio and l.nombre = ?)"),
        {sinLocalidad});
    for (int i = 0; i < faltantes.filas(); ++i)
        kelmar.ejecuta(
            QStringLiteral("insert into localidad (municipio, localidad, nombre) values (?, ?, ?)"),
            {faltantes.valor(i, 0), QStringLiteral("0000"), sinLocalidad});
}

void Semilla::siembraTaloren(Conexion& taloren) {
    int clave = 0;
    for (const char* instruccion : instrucciones)
        taloren.ejecuta(
            QStringLiteral("insert into cat_instrucciones (clave_instruccion, descripcion) values (?, ?)"),
            {++clave, texto(instruccion)});
    clave = 0;
    for (const Suscriptor& s : suscriptores)
        taloren.ejecuta(
            QStringLiteral("insert into suscriptor_frecuente (id, nombre, cargo) values (?, ?, ?)"),
            {++clave, texto(s.nombre), texto(s.cargo)});
    clave = 0;
    for (const Lugar& d : lugares)
        taloren.ejecuta(
            QStringLiteral("insert into direcciones_eventos (clave, direccion, lugar) values (?, ?, ?)"),
            {++clave, texto(d.direccion), texto(d.lugar)});
}
