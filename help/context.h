/* Context ids of the help topics that windows open directly (What's This). */
#define IDH_MKDIR_NAME   80036
#define IDH_MKDIR_SWITCH 80037
#define IDH_MKDIR_MAKE   80038
#define IDH_MKDIR_CANCEL 80039
