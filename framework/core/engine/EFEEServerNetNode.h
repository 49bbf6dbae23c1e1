/*
===============================================================================

	Network server switch. The console has no network server: enabling it
	does nothing.

===============================================================================
*/
#ifndef EF_EE_SERVER_NET_NODE_H
#define EF_EE_SERVER_NET_NODE_H

class EFEEServerNetNode {
public:
	static void		EnableServerNode();
};

#endif
