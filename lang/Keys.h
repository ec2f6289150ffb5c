#pragma once
// Every key of the language file with its French default.
#include "lang/TextTable.h"
#include "platform/Error.h"

#include <array>

namespace lang::keys {

// The main window's captions, in loading order.
inline constexpr std::array<KeyText, 8> captions{{
    {"Créer", "Créer un point de restauration"},
    {"Supprimer", "Supprimer le point de restauration"},
    {"Appliquer", "Appliquer le point de restauration"},
    {"Autres", "Autres"},
    {"Configurer", "Configurer le système de restauration"},
    {"Activer", "Activer la restauration système"},
    {"Jour", "Mettre à jour"},
    {"Lister", "Lister les modifications"},
}};

// The text table, in loading order.
inline constexpr std::array<KeyText, 54> table{{
    {"Valider", "Valider"},
    {"Annuler", "Annuler"},
    {"Titre", "Point de vérification système"},
    {"TitreRequis", "Titre requis"},
    {"Configurer", "Configurer le système de restauration"},
    {"Duree", "Durée de vie des points de restauration"},
    {"Duree1", "Par défaut, Windows garde les points de restauration pendant 90 jours."},
    {"Duree2", "Il est possible de changer cette valeur. Pour cela, entrez la"},
    {"Duree3", "valeur désirée en journées dans le champ de saisie ci-dessous."},
    {"Création", "Création d'un point de restauration automatique"},
    {"Création1", "Par défaut, Windows créer un point de restauration automatique"},
    {"Création2", "chaque 24 heures. Il est possible de changer cette valeur. Pour cela,"},
    {"Création3", "entrez la valeur désirée en heures dans le champ de saisie ci-dessous."},
    // The settings group box has a key of its own: "Désactiver" is the caption of the main
    // window's switch button while System Restore is on.
    {"DésactiverLecteurs", "Désactiver/activer la restauration sur d'autres lecteurs"},
    {"Désactiver1", "Il est possible de désactiver/activer la restauration sur d'autres lecteurs"},
    {"Désactiver2", "que Windows surveille. Il suffit d'entrer la lettre du lecteur dans un des"},
    {"Désactiver3", "deux champs de saisie ci-dessous. Dans le cas où vous voulez inclure"},
    {"Désactiver4", "plusieurs lecteurs, vous devez les séparer par une virgule."},
    {"Désactiver5", "Attention ! Vous ne pouvez pas désactiver la restauration sur le lecteur"},
    {"Désactiver6", "système sans la désactiver sur tous les lecteurs."},
    {"ÀActiver", "À activer :"},
    {"ÀDésactiver", "À désactiver :"},
    {"Avancée", "Avancée"},
    {"Réparer", "Réparer la restauration système"},
    {"Message10", "Veuillez entrer des nombres entiers seulement."},
    {"FichiersDossiers", "Ne pas sauvegarder certains fichiers/dossiers"},
    {"FichiersDossier1",
     "Il est possible de choisir de ne pas sauvegarder certains fichiers/dossiers lors de la "
     "création d'un point de restauration."},
    {"ClesValeurs", "Ne pas sauvegarder certaines clés"},
    {"ClesValeurs1", "Il est possible de choisir de ne pas sauvegarder certaines clés du registre lors de la "
                     "création d'un point de restauration."},
    {"NomValeur", "Nom de la valeur"},
    {"DonnéesN", "Données"},
    {"SupprimerValeur", "Supprimer la valeur"},
    {"CréerModifierValeur", "Créer/Modifier la valeur"},
    {"Message11", "Valeur introuvable."},
    {"Message12", "Erreur inconnue."},
    {"RéparerRestauration", "Réparer la restauration système"},
    {"RéparerRestauration1",
     "Il se peut que pour une raison ou pour une autre, le système de restauration soit"},
    {"RéparerRestauration2",
     "endommagé. Il est possible de tenter une réparation avec la fonction incluse à"},
    {"RéparerRestauration3", "Kestrafen. Vous n'avez pas besoin du CD de Windows."},
    {"RéparerRestauration4", "Réparation incluse à Kestrafen :"},
    {"RéparerRestauration5", "-> Vérifier les services requis"},
    {"RéparerRestauration6", "-> Vérifier l'espace disque libre"},
    {"RéparerRestauration7", "-> Réparer les fichiers framedyn.dll et srclient.dll"},
    {"RéparerRestauration8", "-> Réparer l'association des fichiers *.htc"},
    {"RéparerRestauration9", "-> Enregistrer les fichiers jscript, vbscript et mshtml"},
    {"RéparerRestauration10", "-> Redémarrer l'ordinateur"},
    {"RéparerRestauration11", "Tenter la réparation ci-dessus"},
    {"RéparerRestauration12", "Réinstaller le système de restauration"},
    {"Question6",
     "La réinstallation est à faire en dernier recours. Toute votre configuration et tous vos "
     "points vont être perdus. Êtes-vous vraiment sûr de vouloir procéder à la réinstallation ?"},
    {"Question8", "Avez-vous le CD de Windows ?"},
    {"Question7", "Voulez-vous vraiment tenter la réparation ?"},
    {"Message2", "Vous avez moins de 200Mo disponible. Le système de restauration a besoin d'un minimum de "
                 "200Mo pour fonctionner."},
    {"Message14",
     "Votre ordinateur va maintenant redémarrer. Veuillez fermer toutes vos applications en cours."},
    {"Message13", "Il vous faut le CD pour procéder à la réinstallation."},
}};

// Keys looked up at the moment of use.
inline constexpr std::array<KeyText, 36> atUse{{
    {"Message1", "Impossible de créer le point de restauration."},
    {"Message3", "Il vous faut garder au moins un point."},
    {"Message4", "Veuillez sélectionner un point de restauration."},
    {"Message5", "Point de restauration créé."},
    {"Message6", "Impossible de créer la liste."},
    {"Message7", "Vous n'avez pas la dernière version de Kestrafen. La version la plus récente est la "},
    {"Message8", "Vous avez la dernière version de Kestrafen."},
    // The program ends it with the project's site, as the build names it.
    {"Message9", "Impossible de se connecter au serveur : "},
    {"Message12", "Erreur inconnue."},
    {"Question1", "Supprimer le point de restauration ? La suppression est irréversible."},
    {"Question2", "Appliquer la restauration ? Pensez à enregistrer vos travaux car l'ordinateur devra "
                  "redémarrer pour appliquer le point de restauration."},
    {"Question3", "Activer la restauration système ?"},
    {"Question4",
     "Désactiver la restauration système sur tous les lecteurs ? Cette option est irréversible, "
     "vous allez perdre TOUS vos points de restauration ainsi que votre configuration (Configurer "
     "le système de restauration)."},
    {"Question5",
     "Si vous cochez cette case, Kestrafen va devoir créer une liste des modifications. Cela peut "
     "prendre plusieurs minutes. Souhaitez-vous vraiment lister les modifications ?"},
    {"Activer", "Activer la restauration système"},
    {"Désactiver", "Désactiver la restauration système"},
    {"GUID", "GUID :"},
    {"Box1", "Dossier :"},
    {"Box2", "Type de restauration :"},
    {"Box3", "Numéro de séquence :"},
    {"Oui", "Oui"},
    {"Non", "Non"},
    // Waits that end without their result, and refusals the program adds for safety.
    {"Message15",
     "Le système de restauration est activé, mais aucun point de restauration n'est encore apparu. "
     "Réessayez plus tard."},
    {"Message16", "La liste des modifications n'a pas pu être créée à temps."},
    {"Message17", "Le point de restauration sélectionné n'existe plus. La liste va être mise à jour."},
    {"Message18", "Impossible de supprimer le point de restauration."},
    {"Message19", "Impossible de lire la liste des modifications :"},
    // Requests the service refused.
    {"Message20", "Impossible d'appliquer le point de restauration."},
    {"Message21", "Impossible d'activer la restauration système."},
    {"Message22", "Impossible de désactiver la restauration système."},
    // Errors of the system, each followed by its detail: the value, the file, the code.
    {"ErreurRegistre", "Impossible d'écrire dans le registre la valeur"},
    {"ErreurTypeRegistre", "Type de données incorrect pour la valeur du registre"},
    {"ErreurNombre", "Nombre entier incorrect :"},
    {"ErreurAutomation", "Le système de restauration ne répond pas :"},
    {"ErreurFichier", "Impossible d'écrire le fichier"},
    {"ErreurDate", "Date incorrecte :"},
}};

// The key that words an error of this kind, or nullptr for errors that keep their own text.
const char* errorKey(platform::ErrorKind kind);

// The command line's texts, looked up at the moment of use; %1 and %2 stand for the values put in.
inline constexpr std::array<KeyText, 55> commandLine{{
    {"CommandeAide", "Utilisation : kestrafen [commande] [options]. Sans commande, la fenêtre s'ouvre."},
    {"CommandeListe", "Liste les points de restauration, du plus ancien au plus récent."},
    {"CommandeCreer",
     "Crée un point de restauration sous ce titre (40 caractères au plus) et affiche son numéro de "
     "séquence."},
    {"CommandeSupprimer", "Supprime les points de restauration qui portent ces numéros de séquence."},
    {"CommandeAnciens", "Supprime les points de restauration plus anciens que ce nombre de jours."},
    {"CommandeEtat", "Affiche l'état de la restauration système."},
    {"OptionJson", "Écrit le résultat en JSON."},
    {"OptionGarder", "Garde toujours ce nombre de points parmi les plus récents (1 par défaut)."},
    {"OptionEssai", "Montre ce qui serait supprimé, sans rien supprimer."},
    {"OptionOui",
     "Supprime vraiment ; sans cette option, la commande montre seulement ce qui serait supprimé."},
    {"OptionAide", "Affiche l'aide d'une commande."},
    {"OptionVersion", "Affiche la version de Kestrafen."},
    {"ErreurCommande", "Commande inconnue : %1"},
    {"ErreurOption", "Option inconnue : %1"},
    {"ErreurValeur", "Valeur manquante ou incorrecte pour %1."},
    {"ErreurTitre", "Donnez un seul titre, entre guillemets s'il contient des espaces."},
    {"ErreurArgument", "Argument inattendu : %1"},
    {"ErreurSupprimer", "Donnez des numéros de séquence ou --older-than, pas les deux."},
    {"ErreurNumero", "Numéro de séquence incorrect : %1"},
    {"ErreurAide", "Pour l'aide : %1"},
    {"ErreurTitreLong", "Le titre a %1 caractères ; il en faut 40 au plus."},
    {"RestaurationArretee", "La restauration système est désactivée."},
    {"RestaurationInactive", "La restauration système n'est pas activée."},
    {"PointInconnu", "Aucun point de restauration ne porte le numéro %1."},
    {"PointGarde", "Point %1 gardé : il fait partie des %2 points les plus récents."},
    {"PointPlusRecent", "Point %1 gardé : c'est le point le plus récent."},
    {"PointDernier", "Point %1 gardé : il vous faut garder au moins un point."},
    {"PointSansNumero", "Point gardé : le service ne lui donne pas de numéro de séquence."},
    {"ASupprimer", "Points à supprimer :"},
    {"PointSupprime", "Point %1 supprimé."},
    {"SuppressionRefusee", "Le point %1 n'a pas pu être supprimé."},
    {"AjouterOui", "Rien n'a été supprimé. Ajoutez --yes pour supprimer ces points."},
    {"EssaiSeulement", "Essai : rien n'a été supprimé."},
    {"RienASupprimer", "Aucun point à supprimer."},
    {"EtatRestauration", "Restauration système : %1"},
    {"EtatActivee", "activée"},
    {"EtatDesactivee", "désactivée"},
    {"EtatInconnu", "inconnu"},
    {"EtatLecteur", "Lecteur %1 : %2"},
    {"LecteurSurveille", "surveillé"},
    {"LecteurNonSurveille", "non surveillé"},
    {"EtatReglages", "Durée de vie des points : %1 jours ; un point automatique toutes les %2 heures"},
    {"EtatEspace", "Espace libre sur %1 : %2 Mo (minimum : 200 Mo)"},
    {"EtatEspaceInconnu", "Espace libre sur %1 : inconnu"},
    {"EtatDernierPoint", "Point le plus récent : %1, créé il y a %2 jours"},
    {"EtatAucunPoint", "Aucun point de restauration."},
    // The exit codes in the help: Sortie<code>.
    {"CodesSortie", "Codes de sortie :"},
    {"Sortie0", "terminé"},
    {"Sortie1", "refusé ou échoué pour une autre raison, dite sur la sortie d'erreur"},
    {"Sortie2", "ligne de commande incorrecte"},
    {"Sortie3", "restauration système désactivée, pas activée ou injoignable"},
    {"Sortie4", "demande refusée par le service"},
    {"Sortie5", "aucun point ne porte un numéro de séquence donné"},
    {"Sortie6", "trop peu d'espace libre sur le lecteur système"},
    {"Sortie7", "suppression ou reprise sans --yes : rien n'a été changé"},
}};

// The French default of a key looked up at the moment of use.
const char* atUseDefault(const char* key);
// The French default of a key of the saved files.
const char* savedFilesDefault(const char* key);

// The saved files window, the reading of the points' change logs and the taking back of a file;
// %1 and %2 stand for the values put in.
inline constexpr std::array<KeyText, 49> savedFiles{{
    {"MenuFichiers", "Fichiers enregistrés…"},
    {"FichiersEnregistres", "Fichiers enregistrés"},
    {"FichiersRechercher", "Rechercher :"},
    {"EnregistrerCopie", "Enregistrer une copie sous…"},
    {"RemettreEnPlace", "Remettre à sa place"},
    {"Fermer", "Fermer"},
    {"FichiersNombre", "%1 modifications de fichiers sur %2"},
    {"FichiersCopie", "%1 octets"},
    {"FichiersSansCopie", "pas de copie"},
    {"FichiersCopieAbsente", "copie absente"},
    {"EnregistrerSous", "Enregistrer la copie sous :"},
    {"OpCreation", "Création"},
    {"OpModification", "Modification"},
    {"OpSuppression", "Suppression"},
    {"OpRenommage", "Renommage"},
    {"OpAttributs", "Attributs"},
    {"OpSecurite", "Sécurité"},
    {"OpDossierCree", "Dossier créé"},
    {"OpDossierSupprime", "Dossier supprimé"},
    {"OpDossierRenomme", "Dossier renommé"},
    {"OpAutre", "Autre"},
    {"JournalTronque", "Le journal %1 est tronqué (octet %2)."},
    {"JournalTaille", "Le journal %1 contient un enregistrement de taille incorrecte (octet %2)."},
    {"JournalFin",
     "Le journal %1 est incohérent : la fin d'un enregistrement ne répète pas sa taille (octet %2)."},
    {"JournalInconnu", "Le fichier %1 n'est pas un journal de la restauration système (octet %2)."},
    {"JournalChemin", "Le journal %1 contient un chemin sans fin (octet %2)."},
    {"JournalCopie", "Le journal %1 nomme une copie qui n'est pas de la forme A0000000.ext (octet %2)."},
    {"JournalIllisible", "Impossible de lire le journal %1."},
    {"RecupCree", "Ce fichier n'existait pas à ce point : il n'y a rien à enregistrer (%1)."},
    {"RecupSansCopie", "Aucune copie n'a été gardée pour cette modification (%1)."},
    {"RecupNomCopie", "Nom de copie refusé : %1"},
    {"RecupCopieDisparue", "La copie %1 n'existe plus : le point a peut-être été supprimé."},
    {"RecupChemin", "Chemin refusé (hors de son lecteur ou nom de périphérique) : %1"},
    {"RecupUtilise",
     "Le fichier %1 est en cours d'utilisation. Fermez le programme qui l'utilise, puis réessayez."},
    {"RecupDisquePlein", "Il n'y a pas assez de place sur le lecteur %1."},
    {"RecupLectureSeule", "Impossible d'écrire %1 : lecture seule ou accès refusé."},
    {"RecupDossier", "Le dossier %1 n'existe plus."},
    {"RecupExiste", "Le fichier %1 existe déjà. Voulez-vous le remplacer ?"},
    {"RecupEnregistre", "Copie enregistrée sous %1."},
    {"RecupRemis", "Le fichier %1 a été remis à sa place."},
    {"RecupGarde", "Le fichier qui s'y trouvait est gardé sous %1."},
    {"RecupQuestion",
     "Remettre la copie à sa place ? %1 sera remplacé ; le fichier actuel sera gardé à côté."},
    {"RecupMot", "avant remise en place"},
    {"CommandeFichiers", "Liste les fichiers modifiés que ce point garde, avec leurs copies."},
    {"CommandeRecuperer",
     "Reprend un fichier d'un point : --to DOSSIER l'y enregistre, --in-place le remet à sa place."},
    {"ErreurFichierInconnu", "Le point %1 ne garde aucune modification de %2."},
    {"ErreurVersEnPlace", "Donnez --to DOSSIER ou --in-place, pas les deux."},
    {"RecupEssai", "Essai : rien n'a été écrit."},
    {"RecupAjouterOui", "Rien n'a été écrit. Ajoutez --yes pour reprendre ce fichier."},
}};

} // namespace lang::keys
