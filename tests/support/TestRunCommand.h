/*
===============================================================================

	Runs a shell command for a test (an independent tool reading what the
	engine wrote) and gives its standard output and exit status.

===============================================================================
*/
#ifndef TEST_RUN_COMMAND_H
#define TEST_RUN_COMMAND_H

#include <cstdio>
#include <string>

inline std::string RunCommand( const std::string& command, int* status ) {
	std::string output;
	FILE* const pipe = popen( command.c_str(), "r" );
	if ( pipe == nullptr ) {
		*status = -1;
		return output;
	}
	char buffer[4096];
	size_t got = 0;
	while ( ( got = std::fread( buffer, 1, sizeof( buffer ), pipe ) ) > 0 ) {
		output.append( buffer, got );
	}
	*status = pclose( pipe );
	return output;
}

#endif
