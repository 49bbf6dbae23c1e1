#include "tools/lib/ToolSampleDisc.h"

#include "tools/lib/ToolDiscBuilder.h"
#include "tools/lib/ToolDiscLayout.h"
#include "tools/lib/ToolIniWriter.h"

bool ToolWriteSampleDisc( const std::filesystem::path& root, std::string& error ) {
	const ToolDiscLayout layout( TOOL_SAMPLE_LEVEL );
	ToolDiscBuilder		 disc( root );
	if ( !disc.CreateLayout( layout, error ) ) {
		return false;
	}

	// The engine turns the level to load into its first resource file name
	// and only opens names with a resource-file extension, so the name
	// carries its extension.
	ToolIniWriter ini;
	if ( !ini.Set( "StartingLevelToLoad", TOOL_SAMPLE_RESOURCE_FILE ) ||
		 !ini.Set( "StartingLevelPath", layout.Level() ) ) {
		error = "invalid sample level name";
		return false;
	}
	return disc.WriteEngineIni( ini, error );
}
