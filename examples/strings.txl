9
16
Menu|4
Dialog|2
Error|2
#
1|Menu|1|Ouvrir un fichier…
2|Menu|2|Enregistrer
3|Menu|3|Enregistrer sous…
4|Dialog|1|Nom du fichier : 
5|Error|1|Impossible d’ouvrir « %s » : le disque est plein.
6|Dialog|2|Taille|Largeur|Hauteur
7|Error|2|Naïve résumé not found
8|Menu|4|Quitter
