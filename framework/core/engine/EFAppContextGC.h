/*
===============================================================================

	Platform half of the start-up context: the console adds nothing.

===============================================================================
*/
#ifndef EF_APP_CONTEXT_GC_H
#define EF_APP_CONTEXT_GC_H

class EFAppContext_SP {
};

#endif
